#include "support/test_service.h"

#include "support/harness_error.h"
#include "support/test_environment.h"

namespace orvo::test {
namespace {

constexpr DWORD kCleanupStopMs = 30000;
constexpr DWORD kPollMs = 20;

SERVICE_STATUS_PROCESS QueryStatus(SC_HANDLE service) {
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                              &needed)) {
        status.dwCurrentState = 0;
    }
    return status;
}

bool WaitUntilStopped(SC_HANDLE service, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (QueryStatus(service).dwCurrentState != SERVICE_STOPPED) {
        if (GetTickCount64() > deadline) return false;
        Sleep(kPollMs);
    }
    return true;
}

// Stops the service, kills its process when it will not stop, and deletes it.
void StopAndDelete(SC_HANDLE service) {
    SERVICE_STATUS_PROCESS status = QueryStatus(service);
    if (status.dwCurrentState != SERVICE_STOPPED && status.dwCurrentState != 0) {
        SERVICE_STATUS ignored{};
        ControlService(service, SERVICE_CONTROL_STOP, &ignored);
        if (!WaitUntilStopped(service, kCleanupStopMs) && status.dwProcessId != 0) {
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, status.dwProcessId)) {
                TerminateProcess(process, 1);
                CloseHandle(process);
            }
            WaitUntilStopped(service, kCleanupStopMs);
        }
    }
    DeleteService(service);
}

}  // namespace

TestService::TestService(const std::wstring& commandLine, const std::wstring& label)
    : name_(L"OrvoTest-" + CurrentTestName() + (label.empty() ? L"" : L"-" + FileNameSafe(label))) {
    manager_ = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager_) throw HarnessError(L"cannot open the service control manager", GetLastError());
    if (SC_HANDLE leftover = OpenServiceW(manager_, name_.c_str(), SERVICE_ALL_ACCESS)) {
        StopAndDelete(leftover);
        CloseServiceHandle(leftover);
    }
    service_ = CreateServiceW(manager_, name_.c_str(), name_.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                              SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, commandLine.c_str(), nullptr, nullptr,
                              nullptr, nullptr, nullptr);
    if (!service_) {
        DWORD error = GetLastError();
        CloseServiceHandle(manager_);
        throw HarnessError(L"cannot register the service " + name_, error);
    }
}

TestService::~TestService() {
    StopAndDelete(service_);
    CloseServiceHandle(service_);
    CloseServiceHandle(manager_);
}

bool TestService::Start() {
    bool started = StartServiceW(service_, 0, nullptr);
    lastError_ = started ? 0 : GetLastError();
    return started;
}

bool TestService::Stop() {
    SERVICE_STATUS status{};
    bool sent = ControlService(service_, SERVICE_CONTROL_STOP, &status);
    lastError_ = sent ? 0 : GetLastError();
    return sent;
}

SERVICE_STATUS_PROCESS TestService::Status() const { return QueryStatus(service_); }

bool TestService::WaitForState(DWORD state, DWORD timeoutMs) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (Status().dwCurrentState != state) {
        if (GetTickCount64() > deadline) return false;
        Sleep(kPollMs);
    }
    return true;
}

std::wstring DescribeServiceStatus(const SERVICE_STATUS_PROCESS& status) {
    return L"state " + std::to_wstring(status.dwCurrentState) + L", exit " + std::to_wstring(status.dwWin32ExitCode) +
           L"/" + std::to_wstring(static_cast<int>(status.dwServiceSpecificExitCode)) + L", checkpoint " +
           std::to_wstring(status.dwCheckPoint) + L", hint " + std::to_wstring(status.dwWaitHint) + L" ms, process " +
           std::to_wstring(status.dwProcessId);
}

}  // namespace orvo::test
