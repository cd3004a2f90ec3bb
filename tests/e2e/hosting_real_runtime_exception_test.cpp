// The Java Exception dialog over a real Java runtime: the stack trace the runtime
// prints for the exception (letters outside ASCII included), Ignore after which the
// runtime still reports the exception as uncaught, and Stop.
#include <gtest/gtest.h>

#include <string>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/screenshot.h"
#include "support/ui_automation.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

constexpr wchar_t kMessage[] = L"Gr\u00FC\u00DFe aus main";

ProbeAppSettings WithFailureCheck(const AppFolder& folder) {
    ProbeAppSettings settings;
    settings.applicationLines = L"Failure Check=Yes\nError File=" + folder.PathOf(L"err.txt") + L"\n";
    return settings;
}

TEST(HostingRealRuntimeException, DialogShowsTheTraceAndIgnoreLeavesTheExceptionToTheRuntime) {
    AppFolder folder;
    ProbeApp app(folder, WithFailureCheck(folder));
    std::wstring trace;
    LauncherRun run = app.Run({L"throw", kMessage}, {ExpectJavaExceptionDialog(IDOK, &trace)});
    EXPECT_EQ(run.exitCode, 0);
    ExpectHostedByApp64(run, app.Results());
    EXPECT_EQ(trace.find(std::wstring(L"java.lang.IllegalStateException: ") + kMessage + L"\r\n"), 0u) << Utf8(trace);
    EXPECT_NE(trace.find(L"\tat orvo.test.Probe.main(Probe.java:"), std::wstring::npos);
    // Thrown again after Ignore, it is what the runtime reports when main's thread leaves.
    std::optional<std::wstring> errors = folder.ReadText(L"err.txt");
    ASSERT_TRUE(errors.has_value()) << "no error file";
    EXPECT_NE(errors->find(std::wstring(L"Exception in thread \"main\" java.lang.IllegalStateException: ") + kMessage),
              std::wstring::npos);
}

TEST(HostingRealRuntimeException, StopEndsTheProgramWithMinusOne) {
    AppFolder folder;
    ProbeApp app(folder, WithFailureCheck(folder));
    std::wstring trace;
    LauncherRun run = app.Run({L"throw", L"stop me"}, {ExpectJavaExceptionDialog(IDCANCEL, &trace)});
    EXPECT_EQ(run.exitCode, -1);
    ExpectHostedByApp64(run, app.Results());
    EXPECT_EQ(trace.find(L"java.lang.IllegalStateException: stop me"), 0u);
}

}  // namespace
}  // namespace orvo::test
