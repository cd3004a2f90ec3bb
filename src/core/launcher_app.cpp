#include "core/launcher_app.h"

#include <windows.h>

#include "config/settings_loader.h"
#include "core/command_line.h"
#include "core/pair_handover.h"
#include "discovery/jvm_locator.h"
#include "foundation/paths.h"

namespace orvo {

CLauncherApp::~CLauncherApp() {
    splash.CloseOwn();
    splash.CloseNative();
}

bool CLauncherApp::Init() {
    arguments = ArgumentsFromCommandLine(GetCommandLineW());
    if (!LoadSettings(settings)) return false;
    host.showExceptionDialog = settings.showExceptionDialog;
    if (!singleInstance.SetUp()) return false;
    // A later start of a single instance only hands its arguments over.
    if (singleInstance.enabled && !singleInstance.isPrimary) return true;
    if (settings.overrideWorkingDir) ApplyWorkingDirectoryOverride();
    JvmChoice choice;
    if (!CJvmLocator(settings).FindJvm(choice)) return false;
    jvmPath = choice.jvmPath;
    runtimeNeedsPair = choice.runtimeNeedsPair;
    return true;
}

void CLauncherApp::ApplyWorkingDirectoryOverride() {
    std::optional<std::wstring> launcherPath = GetLauncherPath();
    if (!launcherPath) return;  // the module-path box was shown; the directory stays
    std::size_t cut = launcherPath->rfind(L'\\');
    if (cut == std::wstring::npos || cut == 0) return;
    SetCurrentDirectoryW(launcherPath->substr(0, cut).c_str());
}

int CLauncherApp::Run() {
    if (runtimeNeedsPair) return HandOverToPair(settings.pairProduct, settings.pairReturnCode);
    if (singleInstance.enabled && !singleInstance.isPrimary) return singleInstance.SecondaryWait();
    return HostJvm();
}

int CLauncherApp::HostJvm() {
    host.PrepareEnvironment();
    if (!HasNoSplashSwitch(arguments) && !splash.Show()) return 0;
    if (!host.LoadJvmLibrary(jvmPath)) return -1;
    host.BuildOptions();
    if (host.threadStackSize == 0) host.threadStackSize = host.QueryDefaultStackSize();
    if (RunJvmThread() == 0) return 0;
    splash.CloseNative();
    return -1;
}

int CLauncherApp::RunJvmThread() {
    // Creating the VM and calling main come with hosting; until then there is no
    // VM thread to run, and the launch fails honestly.
    return 1;
}

}  // namespace orvo
