// The 64-bit runtime and the launcher pair: App.exe (32-bit) cannot host it and
// hands the whole launch over to App64.exe; App64.exe hosts it itself, even though
// its INI, a copy of App.ini, names itself as the pair.
#include <gtest/gtest.h>

#include <string>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

constexpr DWORD kMarkerWaitMs = 60000;

bool WaitForFile(const AppFolder& folder, std::wstring_view relative, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!folder.Exists(relative)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(100);
    }
    return true;
}

TEST(RealRuntimePair, WithPairReturnCodeTheHostsExitCodeIsReturned) {
    AppFolder folder;
    ProbeApp app(folder);
    LauncherRun run = app.Run({L"exit", L"5"});
    EXPECT_EQ(run.exitCode, 5) << DescribeProcesses(run);
    ExpectHostedByApp64(run, app.Results());
    for (const ProcessRecord& process : run.processes) EXPECT_EQ(process.exitCode, 5) << process.imagePath;
}

// App.exe returns 0 at once and leaves App64.exe running; the host writes its
// marker seconds later. App64.exe started directly has nobody to hand over to and
// so ends only with the Java program, with its status.
TEST(RealRuntimePair, WithoutPairReturnCodeTheHandOverReturnsZeroAtOnce) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.pairReturnCode = false;
    ProbeApp app(folder, settings);
    RunOptions options = app.Options();
    options.waitForWholeTree = false;
    const std::wstring marker = folder.PathOf(L"later.txt");
    LauncherSession session(app.Launcher(), {L"sleep", L"4000", L"write-file", marker, L"later", L"exit", L"7"},
                            options);
    LauncherRun run = session.Finish();
    if (TestingLauncher64()) {
        EXPECT_EQ(run.exitCode, 7);
        EXPECT_EQ(folder.ReadText(L"later.txt"), L"later");
        return;
    }
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(folder.Exists(L"later.txt")) << "App.exe waited for the Java program";
    ASSERT_EQ(run.processes.size(), 2u) << DescribeProcesses(run);
    EXPECT_FALSE(run.processes[1].exitCode.has_value()) << "App64.exe was no longer running";
    EXPECT_TRUE(WaitForFile(folder, L"later.txt", kMarkerWaitMs)) << "the host never wrote its marker";
    // The probe reports its exit just after the marker; a busy machine can show the gap.
    ULONGLONG deadline = GetTickCount64() + kMarkerWaitMs;
    while (!app.Results().Has(L"exit") && GetTickCount64() < deadline) Sleep(100);
    EXPECT_EQ(app.Results().Value(L"exit"), L"7") << app.Results().Text();
}

// What the 32-bit launcher says when it is left alone with the 64-bit runtime.
std::wstring Runtime64BitBox() {
    return L"The Java runtime " + RealRuntimeHome() +
           L" is a 64-bit runtime, which this 32-bit launcher cannot run. Ship the 64-bit launcher with the "
           L"application and name it in \"Pair Product\" in the [Application] section of the INI file.";
}

// A pair that is not there is no pair: the 32-bit launcher tries the 64-bit library
// itself and says that the file the configuration names is missing, and where it was
// looked for, instead of ending with 0 and nothing on screen.
TEST(RealRuntimePair, MissingPairLeavesTheLaunchHere) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.pairProduct = folder.PathOf(L"Missing64.exe");
    ProbeApp app(folder, settings);
    const std::wstring box = L"The Java runtime " + RealRuntimeHome() +
                             L" needs the paired launcher, which \"Pair Product\" in the INI file names, but that "
                             L"file is missing:\n" + *settings.pairProduct;
    LauncherRun run =
        TestingLauncher64() ? app.Run({L"exit", L"5"}) : app.Run({}, {ExpectMessageBox(box, IDOK, L"pair-missing")});
    ASSERT_EQ(run.processes.size(), 1u) << DescribeProcesses(run);
    if (TestingLauncher64()) {
        EXPECT_EQ(run.exitCode, 5) << "App64.exe must host the runtime, not look for its pair";
        return;
    }
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_FALSE(app.Results().exists()) << app.Results().Text();
}

// Without a pair, the 32-bit launcher tries the 64-bit library itself and says the
// 64-bit launcher must be shipped; the 64-bit launcher just runs it.
TEST(RealRuntimePair, WithoutPairProductOnlyTheMatchingLauncherHostsTheRuntime) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.pairProduct = L"";
    ProbeApp app(folder, settings);
    LauncherRun run =
        TestingLauncher64() ? app.Run({L"exit", L"5"}) : app.Run({}, {ExpectMessageBox(Runtime64BitBox(), IDOK, L"runtime-64-bit")});
    ASSERT_EQ(run.processes.size(), 1u) << DescribeProcesses(run);
    if (TestingLauncher64()) {
        EXPECT_EQ(run.exitCode, 5);
        return;
    }
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_FALSE(app.Results().exists()) << app.Results().Text();
}

}  // namespace
}  // namespace orvo::test
