// The launcher as a real Windows service on the real runtime: registered with the
// service control manager, started and stopped through it, and what it reports there.
// Each test deletes its service again (TestService), also when it fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/command_line_quoting.h"
#include "support/java_runtime.h"
#include "support/registry_keys.h"
#include "support/test_service.h"

namespace orvo::test {
namespace {

// A real-runtime start or stop under wine on a busy machine; far beyond what any takes.
constexpr DWORD kStateChangeMs = 60000;
// The service manager gives up on a start after 30 s: a failed start must end sooner.
constexpr DWORD kFailedStartMs = 20000;
constexpr DWORD kJavaExitedWithCode = ERROR_SERVICE_SPECIFIC_ERROR;

ProbeAppSettings ServiceSettings(const std::wstring& applicationLines = {}) {
    ProbeAppSettings settings;
    settings.applicationLines = L"Application Type=service\n" + applicationLines;
    return settings;
}

// The service runs the probe with these commands; its results file is the app's.
// Their "print-args" shows that main has done what comes before it.
std::wstring ServiceCommandLine(const std::wstring& launcher, const ProbeApp& app,
                                const std::vector<std::wstring>& commands) {
    std::vector<std::wstring> arguments = {L"results", app.ResultsFile()};
    arguments.insert(arguments.end(), commands.begin(), commands.end());
    return BuildCommandLine(launcher, arguments);
}

bool WaitUntilMainRuns(const ProbeApp& app, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!app.Results().Has(L"args.count")) {
        if (GetTickCount64() > deadline) return false;
        Sleep(20);
    }
    return true;
}

void ExpectStoppedWith(const TestService& service, DWORD win32ExitCode, int serviceExitCode) {
    SERVICE_STATUS_PROCESS status = service.Status();
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED)) << DescribeServiceStatus(status);
    EXPECT_EQ(status.dwWin32ExitCode, win32ExitCode) << DescribeServiceStatus(status);
    EXPECT_EQ(static_cast<int>(status.dwServiceSpecificExitCode), serviceExitCode) << DescribeServiceStatus(status);
}

void PrintTiming(const wchar_t* what, ULONGLONG ms) { std::printf("[ timing   ] %ls: %llu ms\n", what, ms); }

struct StopCase {
    const wchar_t* label;
    std::wstring applicationLines;
    std::vector<std::wstring> commands;
    const wchar_t* stopKey;  // the line that shows the stop reached the program
    const wchar_t* stopValue;  // null: the arguments main was given
    DWORD win32ExitCode;
    int serviceExitCode;
};

// Started, running main, stopped: the stop method runs, or without one System.exit(0)
// runs the shutdown hooks; STOPPED carries the program's own exit code.
TEST(RealRuntimeService, StopReachesTheProgramAndStoppedCarriesItsExitCode) {
    const StopCase cases[] = {
        {L"no stop method", L"", {L"shutdown-hook", L"print-args", L"wait-stop"}, L"hook", L"ran", NO_ERROR, 0},
        {L"stop()", L"Service Stop Method=orvo.test.Probe.stop\n", {L"print-args", L"wait-stop", L"exit", L"5"}, L"stop", L"called",
         kJavaExitedWithCode, 5},
        {L"stop(String[])", L"Service Stop Method=orvo.test.Probe.stopWithArguments\n", {L"print-args", L"wait-stop", L"sleep", L"1"},
         L"stop.args", nullptr, NO_ERROR, 0},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.label);
        AppFolder folder(c.label);
        ProbeApp app(folder, ServiceSettings(c.applicationLines));
        TestService service(ServiceCommandLine(app.HostLauncher(), app, c.commands), c.label);
        ULONGLONG started = GetTickCount64();
        ASSERT_TRUE(service.Start()) << "StartService failed with " << service.lastError();
        ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, kStateChangeMs)) << DescribeServiceStatus(service.Status());
        PrintTiming(L"start to RUNNING", GetTickCount64() - started);
        ASSERT_TRUE(WaitUntilMainRuns(app, kStateChangeMs)) << app.Results().Text();
        ULONGLONG stopping = GetTickCount64();
        ASSERT_TRUE(service.Stop()) << "ControlService(STOP) failed with " << service.lastError();
        ASSERT_TRUE(service.WaitForState(SERVICE_STOPPED, kStateChangeMs)) << DescribeServiceStatus(service.Status());
        PrintTiming(L"stop to STOPPED", GetTickCount64() - stopping);
        ExpectStoppedWith(service, c.win32ExitCode, c.serviceExitCode);
        const std::wstring mainArguments = L"results " + app.ResultsFile() + L" print-args wait-stop sleep 1";
        EXPECT_TRUE(app.Results().HasLine(c.stopKey, c.stopValue ? c.stopValue : mainArguments.c_str()))
            << app.Results().Text();
    }
}

TEST(RealRuntimeService, ProgramThatEndsByItselfReportsItsExitCode) {
    AppFolder folder;
    ProbeApp app(folder, ServiceSettings());
    TestService service(ServiceCommandLine(app.HostLauncher(), app, {L"exit", L"3"}));
    ASSERT_TRUE(service.Start()) << "StartService failed with " << service.lastError();
    ASSERT_TRUE(service.WaitForState(SERVICE_STOPPED, kStateChangeMs)) << DescribeServiceStatus(service.Status());
    ExpectStoppedWith(service, kJavaExitedWithCode, 3);
    EXPECT_TRUE(app.Results().HasLine(L"exit", L"3")) << app.Results().Text();
}

// The stop method never returns: after "Service Stop Timeout" the process ends itself.
TEST(RealRuntimeService, ProgramThatDoesNotStopIsEndedAfterTheStopTimeout) {
    AppFolder folder;
    ProbeApp app(folder, ServiceSettings(L"Service Stop Method=orvo.test.Probe.stop\nService Stop Timeout=2\n"));
    TestService service(ServiceCommandLine(app.HostLauncher(), app, {L"stop-hangs", L"print-args", L"wait-stop"}));
    ASSERT_TRUE(service.Start()) << "StartService failed with " << service.lastError();
    ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, kStateChangeMs)) << DescribeServiceStatus(service.Status());
    const DWORD processId = service.Status().dwProcessId;
    ASSERT_TRUE(WaitUntilMainRuns(app, kStateChangeMs)) << app.Results().Text();
    ASSERT_TRUE(service.Stop()) << "ControlService(STOP) failed with " << service.lastError();
    ASSERT_TRUE(service.WaitForState(SERVICE_STOPPED, kStateChangeMs)) << DescribeServiceStatus(service.Status());
    ExpectStoppedWith(service, kJavaExitedWithCode, -1);
    EXPECT_TRUE(app.Results().HasLine(L"stop", L"called")) << app.Results().Text();
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, kStateChangeMs), WAIT_OBJECT_0) << "the service's process lives on";
        CloseHandle(process);
    }
}

struct FailedStartCase {
    const wchar_t* label;
    bool launcher32;
    std::wstring jrePath;  // empty: the real runtime
    std::wstring mainClass;
};

// No Java code runs; the service manager learns so at once, with a non-zero code,
// instead of waiting 30 s for a service that never reports.
TEST(RealRuntimeService, FailedStartReportsStoppedAtOnce) {
    RequireNoJavaRegistrations();
    const FailedStartCase cases[] = {
        {L"no runtime", false, L"no-such-jre", L"orvo.test.Probe"},
        {L"no main class", false, L"", L""},
        // The 32-bit launcher refuses to be a service for a 64-bit runtime.
        {L"32-bit launcher, 64-bit runtime", true, L"", L"orvo.test.Probe"},
    };
    for (const FailedStartCase& c : cases) {
        SCOPED_TRACE(c.label);
        AppFolder folder(c.label);
        ProbeAppSettings settings = ServiceSettings();
        if (!c.jrePath.empty()) settings.jrePath = c.jrePath;
        settings.mainClass = c.mainClass;
        ProbeApp app(folder, settings);
        TestService service(ServiceCommandLine(c.launcher32 ? app.App32() : app.HostLauncher(), app, {}), c.label);
        ULONGLONG started = GetTickCount64();
        ASSERT_TRUE(service.Start()) << "StartService failed with " << service.lastError();
        ASSERT_TRUE(service.WaitForState(SERVICE_STOPPED, kFailedStartMs)) << DescribeServiceStatus(service.Status());
        PrintTiming(L"failed start to STOPPED", GetTickCount64() - started);
        ExpectStoppedWith(service, kJavaExitedWithCode, -1);
        EXPECT_FALSE(app.Results().exists()) << app.Results().Text();
    }
}

// Started from anywhere but the service manager, service mode launches as it always
// did (the 32-bit launcher handing the 64-bit runtime to its pair included).
TEST(RealRuntimeService, OutsideTheServiceManagerServiceModeRunsAsBefore) {
    AppFolder folder;
    ProbeApp app(folder, ServiceSettings());
    LauncherRun run = app.Run({L"exit", L"4"});
    EXPECT_EQ(run.exitCode, 4);
    ExpectHostedByApp64(run, app.Results());
    EXPECT_TRUE(app.Results().HasLine(L"exit", L"4")) << app.Results().Text();
}

}  // namespace
}  // namespace orvo::test
