// Entry point of the launcher executable.
#include <windows.h>

#include "core/launcher_app.h"
#include "foundation/dll_search.h"
#include "foundation/trace.h"
#include "foundation/text_format.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything loads a library: whatever lies in the folder the user started
    // the launcher from must not stand in for one.
    orvo::RemoveCurrentFolderFromDllSearch();
    orvo::StartTrace();
    orvo::Trace(L"start", GetCommandLineW());
    int exitCode = -1;
    {
        orvo::CLauncherApp app;
        SetThreadLocale(GetSystemDefaultLCID());
        // Makes user32 set up this thread's window state before any dialog or box.
        DefWindowProcW(nullptr, 0, 0, 0);
        exitCode = app.Init() ? app.Run() : -1;
    }  // teardown
    if (orvo::TraceEnabled()) orvo::Trace(L"exit", L"code " + orvo::DecimalText(exitCode));
    return exitCode;
}
