#pragma once
// The one application object of a launcher process: it owns every component and
// runs initialisation, the run step and teardown in their fixed order.
#include <windows.h>

#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "hosting/jvm_host.h"
#include "single_instance/single_instance.h"
#include "splash/splash_screen.h"

namespace orvo {

class CLauncherApp {
public:
    CLauncherApp() : host(settings) {}
    CLauncherApp(const CLauncherApp&) = delete;
    CLauncherApp& operator=(const CLauncherApp&) = delete;
    // Teardown: closes the splash, destroys the VM, stops single-instance mode.
    ~CLauncherApp();

    // Reads the configuration; false when the launch cannot go on (a box was shown
    // where due). Called first; Init then does the rest of the initialisation.
    bool ReadSettings();
    // False when the launch failed before any Java code ran (a box was shown where due).
    bool Init();
    // The process exit code; called only after Init returned true.
    int Run();

    const LauncherSettings& Settings() const noexcept { return settings; }
    // After Init: the runtime chosen, and whether it is the paired launcher's to run.
    const std::wstring& JvmPath() const noexcept { return jvmPath; }
    bool RuntimeNeedsPair() const noexcept { return runtimeNeedsPair; }
    // Told on the VM thread just before main is called, with the VM and main's
    // arguments (which live as long as the application object).
    using MainStartingListener = void (*)(void* context, JavaVM* vm, const std::vector<std::wstring>& arguments);
    void OnMainStarting(MainStartingListener listener, void* context) {
        mainStarting = listener;
        mainStartingContext = context;
    }

private:
    static bool TraceForwarded();
    void ApplyWorkingDirectoryOverride();
    int HostJvm();
    DWORD RunJvmThread();
    // The VM thread's work: create the VM and call main. Its exit code says how far
    // it got: main returned, the launch failed, or main threw.
    DWORD RunJvm();
    MainOutcome CallMain();
    MainClassCall MainCall();
    static DWORD WINAPI JvmThreadProc(void* app);

    CSplashScreen splash;
    LauncherSettings settings;
    std::vector<std::wstring> arguments;
    std::wstring jvmPath;
    bool runtimeNeedsPair = false;
    CJvmHost host;
    CSingleInstance singleInstance;
    MainStartingListener mainStarting = nullptr;
    void* mainStartingContext = nullptr;
};

}  // namespace orvo
