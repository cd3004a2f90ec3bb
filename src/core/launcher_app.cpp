#include "core/launcher_app.h"

#include <windows.h>

#include "config/settings_loader.h"
#include "core/pair_handover.h"
#include "discovery/jvm_locator.h"
#include "foundation/command_line.h"
#include "foundation/dll_search.h"
#include "foundation/launcher_path.h"
#include "foundation/text_format.h"
#include "foundation/trace.h"
#include "foundation/unique_handle.h"

namespace orvo {
namespace {

void TraceStage(const wchar_t* stage) { Trace(L"stage", stage); }

// A stage with what it concerns: "loading C:\jdk\bin\server\jvm.dll". The text is built
// only for a trace.
void TraceStage(const wchar_t* stage, const std::wstring& subject) {
    if (TraceEnabled()) Trace(L"stage", stage + subject);
}

void TraceMainCall(const MainClassCall& call) {
    if (!TraceEnabled()) return;
    Trace(L"main", FillTemplate(L"class %s, %d arguments", {call.mainClass}, static_cast<long long>(call.arguments.size())));
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        Trace(L"main", FillTemplate(L"argument %d: %s", {call.arguments[i]}, static_cast<long long>(i + 1)));
    }
}

// Exit codes of the VM thread.
constexpr DWORD kMainReturned = 0;
constexpr DWORD kLaunchFailed = 1;
constexpr DWORD kMainThrew = 2;

}  // namespace

CLauncherApp::~CLauncherApp() {
    splash.CloseOwn();
    host.DestroyJvm();  // waits for the Java program's non-daemon threads
    singleInstance.TearDown();
    splash.CloseNative();
}

bool CLauncherApp::ReadSettings() {
    if (!LoadSettings(settings)) return false;
    TraceStage(L"settings read");
    return true;
}

bool CLauncherApp::Init() {
    // Nothing before this needs the arguments, and which rule splits them is a setting.
    arguments = settings.windowsQuoting ? ArgumentsFromCommandLineWindows(GetCommandLineW())
                                        : ArgumentsFromCommandLine(GetCommandLineW());
    if (!singleInstance.SetUp(settings, arguments)) return false;
    // A later start of a single instance only hands its arguments over.
    if (singleInstance.forwarded) return TraceForwarded();
    if (settings.overrideWorkingDir) ApplyWorkingDirectoryOverride();
    JvmChoice choice;
    if (!CJvmLocator(settings).FindJvm(choice)) return false;
    jvmPath = choice.jvmPath;
    runtimeNeedsPair = choice.runtimeNeedsPair;
    TraceStage(L"runtime chosen: ", jvmPath);
    // Only the process that hosts the VM serves later starts: a launcher that hands
    // the launch to its pair would take their arguments and end with its pair's answer.
    if (runtimeNeedsPair) return true;
    if (!singleInstance.Claim(settings, arguments)) return false;
    if (singleInstance.forwarded) return TraceForwarded();
    return true;
}

bool CLauncherApp::TraceForwarded() {
    TraceStage(L"a running instance takes this start's arguments");
    return true;
}

void CLauncherApp::ApplyWorkingDirectoryOverride() {
    std::optional<std::wstring> launcherPath = GetLauncherPath();
    if (!launcherPath) return;  // the module-path box was shown; the directory stays
    std::size_t cut = launcherPath->rfind(L'\\');
    if (cut == std::wstring::npos || cut == 0) return;
    // At a drive root the backslash stays: "D:" alone names the drive's current folder.
    SetCurrentDirectoryW(launcherPath->substr(0, (*launcherPath)[cut - 1] == L':' ? cut + 1 : cut).c_str());
}

int CLauncherApp::Run() {
    // A later start never shows a splash or loads a JVM library: it only waits.
    if (singleInstance.forwarded) return singleInstance.SecondaryWait();
    if (runtimeNeedsPair) {
        TraceStage(L"handing the launch to ", settings.pairProduct);
        return HandOverToPair(settings.pairProduct, settings.pairReturnCode);
    }
    return HostJvm();
}

int CLauncherApp::HostJvm() {
    // Before the splash: the runtime's splash library may bring in the C runtime that
    // the VM writes its errors with.
    host.CaptureStartupErrors();
    // Before the VM exists: the runtime loads these by bare name, which searches the
    // launcher's folder first (the others before the program's classes run).
    PreloadSystemLibraries(kRuntimeBareNameLibraries);
    if (!host.PrepareEnvironment(jvmPath, settings.libraryPath, settings.systemPath)) return -1;
    // A service shows no window at all.
    bool splashWanted = !settings.serviceMode && !HasNoSplashSwitch(arguments);
    if (splashWanted) splash.Show(settings.splash, jvmPath);
    TraceStage(L"loading ", jvmPath);
    if (!host.LoadJvmLibrary(jvmPath)) return -1;
    TraceStage(L"library loaded");
    if (!host.BuildOptions(arguments)) return -1;
    DWORD result = RunJvmThread();
    if (result == kMainReturned) return 0;
    // As for java.exe: 1 once the program's other threads have ended.
    if (result == kMainThrew) return 1;
    splash.CloseNative();
    return -1;
}

DWORD CLauncherApp::RunJvmThread() {
    // Without creation flags the size is committed up front; a size the system cannot
    // give makes CreateThread fail, and the same work then runs on this thread.
    UniqueKernelHandle thread(CreateThread(nullptr, host.ThreadStackSize(), &JvmThreadProc, this, 0, nullptr));
    if (!thread) return RunJvm();
    WaitForSingleObject(thread.get(), INFINITE);
    DWORD exitCode = kLaunchFailed;
    if (!GetExitCodeThread(thread.get(), &exitCode)) exitCode = kLaunchFailed;
    return exitCode;
}

DWORD WINAPI CLauncherApp::JvmThreadProc(void* app) {
    return app ? static_cast<CLauncherApp*>(app)->RunJvm() : kLaunchFailed;
}

DWORD CLauncherApp::RunJvm() {
    TraceStage(L"creating the VM");
    MainOutcome outcome = host.CreateJvm() ? CallMain() : MainOutcome::kNotCalled;
    if (outcome == MainOutcome::kNotCalled) {
        // A start that failed with nothing but the runtime's own words still says so.
        host.ReportStartupFailure({});
        return kLaunchFailed;
    }
    TraceStage(outcome == MainOutcome::kThrew ? L"main threw" : L"main returned");
    // A service's VM goes when main returns; teardown then finds none.
    if (settings.serviceMode) host.DestroyJvm();
    return outcome == MainOutcome::kThrew ? kMainThrew : kMainReturned;
}

MainOutcome CLauncherApp::CallMain() {
    TraceStage(L"VM created");
    PreloadSystemLibraries(kJavaCodeBareNameLibraries);
    singleInstance.ServeVm(host.vm());
    MainClassCall call = MainCall();
    TraceMainCall(call);
    TraceStage(L"calling main");
    return host.InvokeMain(call);
}

MainClassCall CLauncherApp::MainCall() {
    MainClassCall call;
    call.mainClass = settings.mainClass;
    call.arguments = arguments;  // Cmd has added its pieces by now
    call.readyEvent = singleInstance.ReadyEvent();
    call.parkAfterMain = settings.searchPrefs.ibmAllowed && settings.searchPrefs.ibmFavored;
    call.closeOwnSplash = [this] { splash.CloseOwn(); };
    if (mainStarting) call.mainStarting = [this] { mainStarting(mainStartingContext, host.vm(), arguments); };
    return call;
}

}  // namespace orvo
