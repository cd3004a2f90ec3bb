// How a Java program on the real runtime ends the launcher process: System.exit,
// main returning while other threads run on, and an exception escaping main.
#include <gtest/gtest.h>

#include <string>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

TEST(RealRuntimeExit, SystemExitStatusBecomesTheExitCode) {
    AppFolder folder;
    ProbeApp app(folder);
    LauncherRun run = app.Run({L"exit", L"3"});
    EXPECT_EQ(run.exitCode, 3);
    ExpectHostedByApp64(run, app.Results());
    ProbeResults results = app.Results();
    EXPECT_EQ(results.Value(L"exit"), L"3") << results.Text();
    EXPECT_TRUE(results.HasLine(L"main", L"started")) << results.Text();
    EXPECT_FALSE(results.HasLine(L"main", L"returned")) << "main went on after System.exit:\n" << results.Text();
}

// The worker writes its marker only after main has returned; the process may
// end only after that, and then with 0.
TEST(RealRuntimeExit, ProcessOutlivesMainUntilTheLastNonDaemonThreadEnds) {
    AppFolder folder;
    ProbeApp app(folder);
    const std::wstring marker = folder.PathOf(L"worker-done.txt");
    LauncherRun run = app.Run({L"non-daemon-thread", L"3000", marker});
    EXPECT_EQ(run.exitCode, 0);
    ExpectHostedByApp64(run, app.Results());
    EXPECT_TRUE(app.Results().HasLine(L"main", L"returned")) << app.Results().Text();
    EXPECT_EQ(folder.ReadText(L"worker-done.txt"), L"done") << "the process ended before the worker thread";
}

// Without the exception dialog the runtime prints the uncaught exception when the main
// thread leaves it, and the launch fails with 1, as with java.exe.
TEST(RealRuntimeExit, ExceptionEscapingMainIsPrintedAndTheExitCodeIsOne) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.applicationLines = L"Error File=" + folder.PathOf(L"err.txt") + L"\n";
    ProbeApp app(folder, settings);
    LauncherRun run = app.Run({L"throw", L"boom from main"});
    EXPECT_EQ(run.exitCode, 1);
    ExpectHostedByApp64(run, app.Results());
    ProbeResults results = app.Results();
    EXPECT_TRUE(results.HasLine(L"main", L"started")) << results.Text();
    EXPECT_FALSE(results.HasLine(L"main", L"returned")) << results.Text();
    std::optional<std::wstring> errors = folder.ReadText(L"err.txt");
    ASSERT_TRUE(errors.has_value()) << "no error file";
    EXPECT_NE(errors->find(L"java.lang.IllegalStateException: boom from main"), std::wstring::npos) << *errors;
    EXPECT_NE(errors->find(L"at orvo.test.Probe.main"), std::wstring::npos) << *errors;
}

}  // namespace
}  // namespace orvo::test
