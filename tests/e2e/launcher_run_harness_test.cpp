// The harness's own promises, checked against the real launcher: an unexpected
// box fails the test and is closed, a run that overstays its time limit is
// killed with its whole tree, an expected box that never shows fails the test.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/app_folder.h"
#include "support/file_tree.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

constexpr wchar_t kMainClassMissing[] = L"Main class was not specified in INI file.";

// EXPECT_NONFATAL_FAILURE's statement cannot see local variables.
std::wstring gLauncher;
RunOptions gOptions;
LauncherRun gRun;

TEST(LauncherRunHarness, UnexpectedBoxFailsTheTestAndIsClosed) {
    AppFolder folder;
    gLauncher = folder.AddLauncher(L"NoIni.exe");
    gOptions = {};
    EXPECT_NONFATAL_FAILURE(gRun = RunLauncher(gLauncher, {}, gOptions), "an unexpected window appeared");
    EXPECT_FALSE(gRun.timedOut);
    EXPECT_EQ(gRun.exitCode, -1);  // closed with OK, so the launcher went on to its failure exit
    ASSERT_EQ(gRun.windows.size(), 1u);
    EXPECT_EQ(gRun.windows[0].expectation, -1);
    EXPECT_EQ(gRun.windows[0].window.MessageText(), kMainClassMissing);
    EXPECT_TRUE(PathExists(gRun.windows[0].window.screenshotPath));
}

TEST(LauncherRunHarness, RunPastItsTimeLimitIsKilledWithItsTree) {
    AppFolder folder;
    gLauncher = folder.AddLauncher(L"NoIni.exe");
    gOptions = {};
    ExpectedWindow leftOpen = ExpectMessageBox(kMainClassMissing);
    leftOpen.respond = nullptr;  // nobody presses OK: the launcher waits for ever
    gOptions.expectedWindows = {leftOpen};
    gOptions.timeoutMs = 3000;
    EXPECT_NONFATAL_FAILURE(gRun = RunLauncher(gLauncher, {}, gOptions), "did not finish within 3000 ms");
    EXPECT_TRUE(gRun.timedOut);
    EXPECT_EQ(gRun.exitCode, kNoExitCode);
    ASSERT_EQ(gRun.processes.size(), 1u);
    EXPECT_TRUE(gRun.processes[0].exitCode.has_value()) << "the launcher still runs";
}

TEST(LauncherRunHarness, ExpectedBoxThatNeverShowsFailsTheTest) {
    AppFolder folder;
    gLauncher = folder.AddLauncher(L"NoDot");  // stops without any box
    gOptions = {};
    gOptions.expectedWindows = {ExpectMessageBox(kMainClassMissing)};
    EXPECT_NONFATAL_FAILURE(gRun = RunLauncher(gLauncher, {}, gOptions), "was seen 0 time(s)");
    EXPECT_EQ(gRun.exitCode, -1);
}

TEST(LauncherRunHarness, RecordsTheLauncherProcessAndItsSignedExitCode) {
    AppFolder folder;
    std::wstring launcher = folder.AddLauncher(L"NoIni.exe");
    RunOptions options;
    options.expectedWindows = {ExpectMessageBox(kMainClassMissing)};
    LauncherRun run = RunLauncher(launcher, {L"an argument", L"-nosplash"}, options);
    ASSERT_EQ(run.processes.size(), 1u);
    EXPECT_EQ(run.processes[0].exitCode, -1);
    EXPECT_TRUE(run.processes[0].imagePath.ends_with(L"\\NoIni.exe")) << run.processes[0].imagePath;
    EXPECT_EQ(run.commandLine, L"\"" + launcher + L"\" \"an argument\" -nosplash");
}

}  // namespace
}  // namespace orvo::test
