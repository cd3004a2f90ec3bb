// Entry point of the launcher executable.
#include <windows.h>

#include "core/launcher_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int exitCode = -1;
    {
        orvo::CLauncherApp app;
        SetThreadLocale(GetSystemDefaultLCID());
        // Makes user32 set up this thread's window state before any dialog or box.
        DefWindowProcW(nullptr, 0, 0, 0);
        exitCode = app.Init() ? app.Run() : -1;
    }  // teardown
    return exitCode;
}
