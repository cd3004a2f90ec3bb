// Entry point of the launcher executable.
#include <windows.h>

#include <optional>

#include "core/launcher_app.h"
#include "core/service_control.h"
#include "foundation/dll_search.h"
#include "foundation/trace.h"
#include "foundation/text_format.h"

namespace {

// A service that the service control manager started runs under its control; every
// other start, a service's included, launches at once.
int Launch(orvo::CLauncherApp& app) {
    const bool settingsRead = app.ReadSettings();
    // Known before the main class is: a service without one still tells the manager.
    if (app.Settings().serviceMode) {
        if (std::optional<int> exitCode = orvo::RunUnderServiceManager(app, settingsRead)) return *exitCode;
    }
    if (!settingsRead) return -1;
    return app.Init() ? app.Run() : -1;
}

}  // namespace

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
        // Nothing here touches the windowing libraries: a start that shows no box,
        // dialog or splash never loads them (see delay_load.cpp).
        exitCode = Launch(app);
    }  // teardown
    if (orvo::TraceEnabled()) orvo::Trace(L"exit", L"code " + orvo::DecimalText(exitCode));
    return exitCode;
}
