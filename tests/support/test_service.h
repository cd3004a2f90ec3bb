#pragma once
// A Windows service registered for one test, whose program is a launcher: started,
// stopped and queried through the service control manager (what sc.exe does), and
// deleted again when the object ends, whatever the test did: a service still running
// is stopped first, and its process killed when it does not stop in time.
#include <windows.h>

#include <string>

namespace orvo::test {

class TestService {
public:
    // Registers an own-process service started on demand, named "OrvoTest-<test>" plus
    // the label, that runs the command line as LocalSystem; a leftover of that name
    // from an earlier run is removed first. Throws HarnessError when it cannot.
    explicit TestService(const std::wstring& commandLine, const std::wstring& label = {});
    ~TestService();
    TestService(const TestService&) = delete;
    TestService& operator=(const TestService&) = delete;

    // StartServiceW / ControlService(STOP). False when the manager refused; the
    // reason is then in lastError().
    bool Start();
    bool Stop();
    DWORD lastError() const noexcept { return lastError_; }

    SERVICE_STATUS_PROCESS Status() const;
    // Polls the status until it is in that state (true) or the time is up (false).
    bool WaitForState(DWORD state, DWORD timeoutMs) const;

    const std::wstring& name() const noexcept { return name_; }

private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
    std::wstring name_;
    DWORD lastError_ = 0;
};

// "state 4, exit 0/0, checkpoint 0, hint 0 ms, process 1234", for failure messages.
std::wstring DescribeServiceStatus(const SERVICE_STATUS_PROCESS& status);

}  // namespace orvo::test
