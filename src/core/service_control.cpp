#include "core/service_control.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/launcher_app.h"
#include "core/service_status_rules.h"
#include "foundation/messages.h"
#include "foundation/service_log.h"
#include "foundation/text_format.h"
#include "foundation/trace.h"
#include "foundation/unique_handle.h"
#include "hosting/environment_rules.h"
#include "hosting/java_stop_request.h"
#include "hosting/jvm_host.h"
#include "hosting/runtime_hooks.h"

namespace orvo {
namespace {

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

constexpr DWORD kAttachBoundMs = 10000;

UniqueKernelHandle NewManualResetEvent() { return UniqueKernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

// The service's states are told from four threads: the service's main thread, the
// dispatcher's control handler, the VM thread (main starting, System.exit) and the
// stop watch; the lock keeps the lifecycle and its reports in one order.
class CServiceHost {
public:
    CServiceHost(CLauncherApp& app, bool settingsRead) : app_(app), settingsRead_(settingsRead) {}

    void ServiceMain(DWORD argc, LPWSTR* argv);
    DWORD HandleControl(DWORD control);
    // The VM is about to end the process with `status`.
    void VmExiting(int status);

    bool EndedInsideVm() const noexcept { return endedInsideVm_.load(); }
    int ExitCode() const noexcept { return exitCode_; }

private:
    int Launch();
    void MainStarting(JavaVM* vm, const std::vector<std::wstring>& arguments);
    void RequestStop();
    void Finish(int exitCode);
    void CallStop();
    void WatchStop();
    static void MainStartingProc(void* host, JavaVM* vm, const std::vector<std::wstring>& arguments) {
        static_cast<CServiceHost*>(host)->MainStarting(vm, arguments);
    }
    static DWORD WINAPI StopCallerProc(void* host);
    static DWORD WINAPI StopWatchProc(void* host);
    // Under the lock.
    void Report(const std::optional<ServiceStatusReport>& report);

    CLauncherApp& app_;
    const bool settingsRead_;
    SERVICE_STATUS_HANDLE statusHandle_ = nullptr;
    SRWLOCK lock_ = SRWLOCK_INIT;
    ServiceLifecycle lifecycle_;
    UniqueKernelHandle stopRequested_ = NewManualResetEvent();
    UniqueKernelHandle stopped_ = NewManualResetEvent();
    UniqueKernelHandle stopCallerReady_ = NewManualResetEvent();
    UniqueKernelHandle stopCaller_;
    UniqueKernelHandle stopWatch_;
    JavaVM* vm_ = nullptr;
    const std::vector<std::wstring>* mainArguments_ = nullptr;  // the application's own
    ULONGLONG stopRequestedAt_ = 0;
    std::atomic<bool> endedInsideVm_{false};
    int exitCode_ = -1;
};

// The service manager's callbacks carry no context but the handler's; the one
// service of the process is here from before the dispatcher starts.
CServiceHost* activeHost = nullptr;

void WINAPI ServiceMainProc(DWORD argc, LPWSTR* argv) { activeHost->ServiceMain(argc, argv); }

DWORD WINAPI ControlHandlerProc(DWORD control, DWORD, void*, void* context) {
    return static_cast<CServiceHost*>(context)->HandleControl(control);
}

void VmExitingProc(int status) { activeHost->VmExiting(status); }

void CServiceHost::Report(const std::optional<ServiceStatusReport>& report) {
    if (!report || !statusHandle_) return;
    if (TraceEnabled()) {
        Trace(L"service", FillTemplate(L"state %s, exit code %d", {DecimalText(static_cast<unsigned>(report->state))},
                                       report->serviceSpecificExitCode));
    }
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = static_cast<DWORD>(report->state);
    status.dwControlsAccepted = report->controlsAccepted;
    status.dwWin32ExitCode = report->win32ExitCode;
    status.dwServiceSpecificExitCode = report->serviceSpecificExitCode;
    status.dwCheckPoint = report->checkPoint;
    status.dwWaitHint = report->waitHintMs;
    SetServiceStatus(statusHandle_, &status);
}

void CServiceHost::ServiceMain(DWORD argc, LPWSTR* argv) {
    // For a service of its own process the manager passes the service's name first.
    statusHandle_ = RegisterServiceCtrlHandlerExW(argc > 0 ? argv[0] : L"", &ControlHandlerProc, this);
    if (!statusHandle_) return;
    {
        ExclusiveLock guard(lock_);
        Report(lifecycle_.Starting());
    }
    SetVmExitListener(&VmExitingProc);
    app_.OnMainStarting(&MainStartingProc, this);
    Finish(Launch());
}

int CServiceHost::Launch() {
    if (!settingsRead_ || !app_.Init()) return -1;
    {
        ExclusiveLock guard(lock_);
        Report(lifecycle_.Progress());  // the runtime is chosen; the VM comes next
    }
    // The paired launcher would run as a child that the manager knows nothing of: it
    // could neither be stopped nor report its end. Better told at once whom to register.
    if (app_.RuntimeNeedsPair()) {
        ReportToServiceLog(FillTemplate(LoadMessage(IDS_SERVICE_NEEDS_64_BIT_LAUNCHER),
                                        {RuntimeHomeFolder(app_.JvmPath()), app_.Settings().pairProduct}));
        return -1;
    }
    return app_.Run();
}

// From now on a stop can be answered: a thread of the launcher's own is attached to
// the VM before main runs, so that it never has to attach to a VM that main's end
// or System.exit is taking down.
void CServiceHost::MainStarting(JavaVM* vm, const std::vector<std::wstring>& arguments) {
    vm_ = vm;
    mainArguments_ = &arguments;
    stopCaller_.reset(CreateThread(nullptr, 0, &StopCallerProc, this, 0, nullptr));
    // Attaching waits for nothing while this thread is outside Java; the bound only
    // keeps a VM that misbehaves from holding main back.
    if (stopCaller_) WaitForSingleObject(stopCallerReady_.get(), kAttachBoundMs);
    ExclusiveLock guard(lock_);
    Report(lifecycle_.MainCalled());
}

DWORD CServiceHost::HandleControl(DWORD control) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
    case SERVICE_CONTROL_PRESHUTDOWN:
        RequestStop();
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void CServiceHost::RequestStop() {
    ExclusiveLock guard(lock_);
    std::optional<ServiceStatusReport> report = lifecycle_.StopRequested();
    if (!report) return;
    Report(report);
    stopRequestedAt_ = GetTickCount64();
    SetEvent(stopRequested_.get());
    stopWatch_.reset(CreateThread(nullptr, 0, &StopWatchProc, this, 0, nullptr));
}

void CServiceHost::Finish(int exitCode) {
    ExclusiveLock guard(lock_);
    if (lifecycle_.state() == ServiceState::kStopped) return;
    exitCode_ = exitCode;
    Report(lifecycle_.Ended(exitCode));
    SetEvent(stopped_.get());
}

void CServiceHost::VmExiting(int status) {
    endedInsideVm_.store(true);
    Finish(status);
}

void CServiceHost::CallStop() {
    CJavaStopRequest request;
    const bool attached = request.Attach(vm_);
    SetEvent(stopCallerReady_.get());
    HANDLE events[] = {stopRequested_.get(), stopped_.get()};
    // After the program's end the VM may be gone: the thread then leaves it alone.
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 || !attached) return;
    if (TraceEnabled()) Trace(L"service", L"asking the Java program to stop");
    request.Send(app_.Settings().serviceStopMethod, *mainArguments_);
    request.Detach();
}

void CServiceHost::WatchStop() {
    const ULONGLONG bound = 1000ULL * app_.Settings().serviceStopTimeoutSeconds;
    while (WaitForSingleObject(stopped_.get(), kStopProgressIntervalMs) == WAIT_TIMEOUT) {
        ExclusiveLock guard(lock_);
        if (lifecycle_.state() == ServiceState::kStopped) return;
        if (GetTickCount64() - stopRequestedAt_ < bound) {
            Report(lifecycle_.Progress());
            continue;
        }
        ReportToServiceLog(FillTemplate(LoadMessage(IDS_SERVICE_STOP_TIMED_OUT),
                                        {DecimalText(app_.Settings().serviceStopTimeoutSeconds)}));
        exitCode_ = -1;
        Report(lifecycle_.Ended(exitCode_));
        // Whatever the program's threads hold, nothing of it may keep the process.
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode_));
    }
}

DWORD WINAPI CServiceHost::StopCallerProc(void* host) {
    static_cast<CServiceHost*>(host)->CallStop();
    return 0;
}

DWORD WINAPI CServiceHost::StopWatchProc(void* host) {
    static_cast<CServiceHost*>(host)->WatchStop();
    return 0;
}

}  // namespace

std::optional<int> RunUnderServiceManager(CLauncherApp& app, bool settingsRead) {
    // Lives as long as the process: the stop threads may still be on their way out
    // when the service has stopped.
    activeHost = new CServiceHost(app, settingsRead);
    // The manager ignores the name for a service of its own process: it may be empty,
    // and the service's real name comes to ServiceMain.
    wchar_t anyName[] = L"";
    SERVICE_TABLE_ENTRYW table[] = {{anyName, &ServiceMainProc}, {nullptr, nullptr}};
    // Fails at once, with ERROR_FAILED_SERVICE_CONTROLLER_CONNECT, for a process that
    // the manager did not start.
    if (!StartServiceCtrlDispatcherW(table)) {
        delete activeHost;
        activeHost = nullptr;
        return std::nullopt;
    }
    // The service has told the manager it stopped; a VM that is ending the process
    // decides its exit code and must not be raced by this thread's return.
    while (activeHost->EndedInsideVm()) Sleep(INFINITE);
    return activeHost->ExitCode();
}

}  // namespace orvo
