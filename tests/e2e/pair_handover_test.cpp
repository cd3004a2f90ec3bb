// The hand-over to the paired launcher: App.exe (the launcher under test) finds a
// test runtime of the other architecture, which it cannot host, and starts Pair.exe
// (the other architecture's launcher) beside it, which hosts the runtime itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hosting_test_app.h"
#include "support/file_tree.h"
#include "support/process_inspection.h"
#include "support/test_environment.h"
#include "support/ui_automation.h"

namespace orvo::test {
namespace {

constexpr wchar_t kProgramStartsFile[] = L"go.txt";

bool EndsWith(const std::wstring& text, std::wstring_view end) {
    return text.size() >= end.size() && CompareStringOrdinal(text.c_str() + text.size() - end.size(),
                                                             static_cast<int>(end.size()), end.data(),
                                                             static_cast<int>(end.size()), TRUE) == CSTR_EQUAL;
}

class PairHandOverTest : public testing::Test {
protected:
    PairHandOverTest()
        : runtime(folder.PathOf(L"jre"), HostedApp::DefaultJvmIni(), TestJvmFlavor::kServer,
                  TestJvmVariant::kComplete, TestJvmArch::kPair),
          launcher(folder.AddLauncher(L"App.exe")),
          elsewhere(folder.CreateFolder(L"elsewhere")) {
        folder.CreateFolder(L"classes");
        folder.AddCopyOf(PairLauncher(), L"Pair.exe");
        WriteIni(true);
    }

    // Both launchers read the same text; for Pair.exe the pair is itself, so it
    // hosts the runtime. Everything relative is relative to the launchers' folder.
    void WriteIni(bool pairReturnCode) const {
        std::wstring text = L"[Application]\nPair Product=Pair.exe\n";
        if (pairReturnCode) text += L"Pair Return Code=Yes\n";
        text += L"[Java Runtime Environment]\nMain Class=com.example.App\nJRE Path=jre\n";
        text += L"[Class Path]\nClass Path=" + folder.PathOf(L"classes") + L"\n";
        folder.WriteText(L"App.ini", text);
        folder.WriteText(L"Pair.ini", text);
    }

    // Started from another folder, as from a console somewhere else.
    RunOptions Options() const {
        RunOptions options;
        options.workingDirectory = elsewhere;
        options.environment = {{L"JAVA_HOME", std::nullopt}};
        return options;
    }

    // The run went App.exe, then Pair.exe from the launchers' folder.
    void ExpectHandedToPair(const LauncherRun& run) const {
        ASSERT_EQ(run.processes.size(), 2u) << run.UnexpectedWindowCount();
        EXPECT_TRUE(EndsWith(run.processes[1].imagePath, L"\\Pair.exe")) << run.processes[1].imagePath;
        EXPECT_EQ(runtime.ReadLog().mainCalls.size(), 1u);
    }

    AppFolder folder;
    TestJvmRuntime runtime;
    std::wstring launcher;
    std::wstring elsewhere;
};

TEST_F(PairHandOverTest, ARelativePairIsTheOneBesideTheLauncher) {
    runtime.WriteIni(HostedApp::DefaultJvmIni().Set("main", L"exit").Set("main_exit_code", L"7"));
    LauncherRun run = RunLauncher(launcher, {}, Options());
    EXPECT_EQ(run.exitCode, 7);
    ExpectHandedToPair(run);
}

// "App.exe > out.txt" keeps the Java program's output after the hand-over, and a
// launcher started minimised starts its pair minimised.
TEST_F(PairHandOverTest, StandardHandlesAndShowStateGoOnToThePair) {
    runtime.WriteIni(HostedApp::DefaultJvmIni().Set("main_prints", L"to out").Set("main_prints_err", L"to err"));
    RunOptions options = Options();
    options.stdOutputFile = folder.PathOf(L"out.txt");
    options.stdErrorFile = folder.PathOf(L"err.txt");
    options.showWindow = SW_SHOWMINNOACTIVE;
    LauncherRun run = RunLauncher(launcher, {}, options);
    EXPECT_EQ(run.exitCode, 0);
    ExpectHandedToPair(run);
    EXPECT_EQ(folder.ReadText(L"out.txt"), L"to out\r\n");
    EXPECT_EQ(folder.ReadText(L"err.txt"), L"to err\r\n");
    TestJvmLog log = runtime.ReadLog();
    ASSERT_EQ(log.creations.size(), 1u);
    EXPECT_EQ(log.creations[0].showState, SW_SHOWMINNOACTIVE);
}

// The launcher holds an inheritable pipe handle its own starter gave it; once the
// launcher has ended, nobody may hold the pipe's writing end but the test, although
// the pair still runs.
TEST_F(PairHandOverTest, NoHandleButTheStandardOnesGoesOnToThePair) {
    WriteIni(false);
    runtime.WriteIni(HostedApp::DefaultJvmIni().Set("main_wait_file", folder.PathOf(kProgramStartsFile)));
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
    UniqueKernelHandle reading(readEnd);
    UniqueKernelHandle writing(writeEnd);
    RunOptions options = Options();
    options.alsoInherited = {writing.get()};
    options.waitForWholeTree = false;
    LauncherSession session(launcher, {}, options);
    LauncherRun run = session.Finish();
    writing.reset();
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.processes.size(), 2u);
    UniqueKernelHandle pair(OpenProcess(SYNCHRONIZE, FALSE, run.processes[1].processId));
    EXPECT_EQ(WaitForSingleObject(pair.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the pair has ended already";
    DWORD available = 0;
    EXPECT_FALSE(PeekNamedPipe(reading.get(), nullptr, 0, nullptr, &available, nullptr))
        << "the pipe is still open for writing: the pair inherited the handle";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
    folder.WriteText(kProgramStartsFile, L"go");
    EXPECT_EQ(WaitForSingleObject(pair.get(), kDefaultRunTimeoutMs), static_cast<DWORD>(WAIT_OBJECT_0));
}

// The launcher that hands over shows nothing: while its pair runs the program, none of
// the windowing libraries has been loaded into it.
TEST_F(PairHandOverTest, TheLauncherThatHandsOverLoadsNoWindowingLibrary) {
    runtime.WriteIni(HostedApp::DefaultJvmIni().Set("main_wait_file", folder.PathOf(kProgramStartsFile)));
    LauncherSession session(launcher, {}, Options());
    const bool mainRunning =
        session.WaitUntil([&](const LauncherRun&) { return !runtime.ReadLog().mainCalls.empty(); }, kDefaultRunTimeoutMs);
    const std::vector<DWORD> live = session.LiveProcessIds();
    ASSERT_TRUE(mainRunning && live.size() == 2u) << live.size() << " processes";
    const std::vector<std::wstring> modules = LoadedModuleNames(live.front());
    folder.WriteText(kProgramStartsFile, L"go");
    EXPECT_EQ(session.Finish().exitCode, 0);
    EXPECT_NE(std::find(modules.begin(), modules.end(), L"kernel32.dll"), modules.end());
    EXPECT_EQ(WindowingLibraries(modules), std::vector<std::wstring>{});
}

TEST_F(PairHandOverTest, APairThatCannotBeStartedIsReported) {
    const std::wstring pair = folder.WriteText(L"Pair.exe", L"not a program");
    const std::wstring expectedStart = L"Failed to start the paired launcher: " + pair + L" (errno = 193).\n";
    ExpectedWindow box;
    box.description = L"the box that names the pair and the reason";
    box.matches = [&](const WindowSnapshot& w) { return w.IsDialog() && w.MessageText().starts_with(expectedStart); };
    box.respond = [&](const WindowSnapshot& w) {
        EXPECT_GT(w.MessageText().size(), expectedStart.size()) << "no reason given";
        EXPECT_EQ(w.icon, MessageIcon::kError);
        PressButton(w.handle, IDOK);
    };
    RunOptions options = Options();
    options.expectedWindows = {box};
    LauncherRun run = RunLauncher(launcher, {}, options);
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_EQ(run.processes.size(), 1u);
    EXPECT_TRUE(runtime.ReadLog().mainCalls.empty());
}

}  // namespace
}  // namespace orvo::test
