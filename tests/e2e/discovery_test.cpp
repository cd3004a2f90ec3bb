// Which Java runtime the launcher picks, seen from outside as a user would see it.
// A candidate runtime either holds a jvm.dll that is no library at all, so that the
// launcher's load-failure box names exactly the file it chose, or the test JVM
// library, whose log shows that it was loaded and by which launcher process.
// Covered: the order of the sources, "JRE Path" relative to the launcher, the
// registry's version choice, JAVA_HOME, "JVM Type", and the 64-bit registry view
// and machine check that send a launch to the paired launcher.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "foundation/unique_handle.h"
#include "hosting_test_app.h"
#include "support/app_folder.h"
#include "support/file_tree.h"
#include "support/harness_error.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/registry_keys.h"
#include "support/test_jvm.h"
#include "support/ui_automation.h"

namespace orvo::test {
namespace {

// The registry view a launcher of this test program's architecture reads by default.
constexpr REGSAM kOwnView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

constexpr wchar_t kModernJdkKey[] = L"Software\\JavaSoft\\JDK";
constexpr wchar_t kClassicJreKey[] = L"Software\\JavaSoft\\Java Runtime Environment";

// A dialog run waits for the JRE-not-found dialog, which wine can be slow to show.
constexpr DWORD kDialogRunTimeoutMs = 60000;
constexpr int kHandOverExitCode = 23;

std::wstring Library(const std::wstring& home, const wchar_t* flavour = L"client") {
    return home + L"\\bin\\" + flavour + L"\\jvm.dll";
}

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The box the launcher shows when the library it chose cannot be loaded; it names
// the chosen file exactly, and 193 is the system's "not a valid application".
ExpectedWindow ExpectLoadFailureOf(const std::wstring& library) {
    return ExpectErrorBox(L"Failed to load Java VM library: " + library + L" (errno = 193).\n");
}

ExpectedWindow ExpectJreNotFoundDialogCancelled() {
    ExpectedWindow expected;
    expected.description = L"the \"JRE Not Found\" dialog";
    expected.matches = [](const WindowSnapshot& w) { return w.IsDialog() && w.title == L"JRE Not Found"; };
    expected.respond = [](const WindowSnapshot& w) {
        if (!PressButton(w.handle, IDCANCEL)) ADD_FAILURE() << "no Cancel button:\n" << DescribeWindow(w);
    };
    return expected;
}

// The test JVM settings of a runtime whose main ends the process with a known status.
TestJvmIni ExitingJvmIni() {
    return TestJvmIni()
        .Set("classes", kAppClasses)
        .Set("main", L"exit")
        .Set("main_exit_code", std::to_wstring(kHandOverExitCode));
}

// The launcher process that loaded the test library, from the log's first line;
// empty when the library was never loaded.
std::wstring LoadingProcess(const TestJvmLog& log) {
    std::vector<const TestJvmEvent*> loads = log.EventsNamed("library");
    if (loads.size() != 1) {
        if (!loads.empty()) ADD_FAILURE() << "the library was loaded " << loads.size() << " times";
        return {};
    }
    return FileNameOf(loads[0]->Java("process"));
}

class JvmDiscovery : public testing::Test {
protected:
    JvmDiscovery() {
        RequireNoJavaRegistrations();
        folder.CreateFolder(L"app");
        folder.CreateFolder(L"appdata");  // APPDATA of every run: no per-user copy of the machine interferes
        folder.CreateFolder(L"classes");
    }

    // The launcher under test as app\App.exe.
    std::wstring AddLauncher() const { return folder.AddLauncher(L"app\\App.exe"); }

    // An INI with a main class and an absolute class path entry.
    std::wstring IniText(const std::wstring& applicationLines, const std::wstring& runtimeLines) const {
        return L"[Application]\n" + applicationLines + L"[Java Runtime Environment]\nMain Class=com.example.App\n" +
               runtimeLines + L"[Class Path]\nClass Path=" + folder.PathOf(L"classes") + L"\n";
    }
    void WriteIni(const std::wstring& runtimeLines) const {
        folder.WriteText(L"app\\App.ini", IniText(L"", runtimeLines));
    }

    // A runtime home (bin\java.dll marker and one jvm.dll per flavour) whose libraries
    // are text files; returns the home without a trailing backslash.
    std::wstring BrokenRuntime(const std::wstring& relative,
                               std::initializer_list<const wchar_t*> flavours = {L"client"}) const {
        folder.CreateFolder(relative + L"\\bin");
        folder.WriteBytes(relative + L"\\bin\\java.dll", "");
        for (const wchar_t* flavour : flavours) {
            folder.CreateFolder(relative + L"\\bin\\" + flavour);
            folder.WriteBytes(relative + L"\\bin\\" + flavour + L"\\jvm.dll", "This file is not a library.\r\n");
        }
        return folder.PathOf(relative);
    }

    // JAVA_HOME is what the test says (by default: not defined), APPDATA the test's.
    RunOptions Options(std::vector<ExpectedWindow> expected, const std::optional<std::wstring>& javaHome = {}) const {
        RunOptions options;
        options.expectedWindows = std::move(expected);
        options.environment = {{L"JAVA_HOME", javaHome}, {L"APPDATA", folder.PathOf(L"appdata")}};
        return options;
    }

    // Runs the launcher and expects it to fail on exactly that library.
    void ExpectChosen(const std::wstring& launcher, const std::wstring& library, RunOptions options) const {
        options.expectedWindows = {ExpectLoadFailureOf(library)};
        LauncherRun run = RunLauncher(launcher, {}, options);
        EXPECT_EQ(run.exitCode, -1);
        EXPECT_EQ(run.processes.size(), 1u) << DescribeProcesses(run);
    }
    void ExpectChosen(const std::wstring& launcher, const std::wstring& library,
                      const std::optional<std::wstring>& javaHome = {}) const {
        ExpectChosen(launcher, library, Options({}, javaHome));
    }

    // Three runtimes under the classic JRE key of the launcher's own view.
    void RegisterThreeVersions() const {
        for (const wchar_t* version : {L"11.0.2", L"17.0.1", L"1.8.0_292"}) {
            RegisterJavaRuntime(registry, kOwnView, kClassicJreKey, version,
                                BrokenRuntime(std::wstring(L"jre-") + version));
        }
    }
    std::wstring RegisteredLibrary(const wchar_t* version) const {
        return Library(folder.PathOf(std::wstring(L"jre-") + version));
    }

    AppFolder folder;
    // The vendor keys this test registers, and only those; the machine has none.
    mutable OwnedRegistryKeys registry;
};

// Each source is used only when those before it yield nothing: "JRE Path", then the
// runtime bundled in the launcher's own jre folder, then the registry, then JAVA_HOME.
TEST_F(JvmDiscovery, SourcesAreTakenInTheirOrder) {
    std::wstring launcher = AddLauncher();
    std::wstring configured = BrokenRuntime(L"configured");
    std::wstring bundled = BrokenRuntime(L"app\\jre");
    std::wstring registered = BrokenRuntime(L"registered");
    std::wstring environment = BrokenRuntime(L"environment");
    RegisterJavaRuntime(registry, kOwnView, kClassicJreKey, L"11.0.2", registered);

    WriteIni(L"JRE Path=" + configured + L"\n");
    {
        SCOPED_TRACE("JRE Path set");
        ExpectChosen(launcher, Library(configured), environment);
    }
    WriteIni(L"");
    {
        SCOPED_TRACE("a runtime in the launcher's jre folder");
        ExpectChosen(launcher, Library(bundled), environment);
    }
    ASSERT_TRUE(DeleteFileW((bundled + L"\\bin\\java.dll").c_str()));
    {
        SCOPED_TRACE("a registered runtime");
        ExpectChosen(launcher, Library(registered), environment);
    }
    registry.RemoveAll();
    {
        SCOPED_TRACE("JAVA_HOME only");
        ExpectChosen(launcher, Library(environment), environment);
    }
}

// A relative "JRE Path" is joined to the launcher's folder as written, wherever the
// launcher is started from; the same relative path from the working folder holds a
// runtime too, which must not be taken.
TEST_F(JvmDiscovery, RelativeJrePathIsTakenFromTheLauncherFolder) {
    std::wstring launcher = AddLauncher();
    BrokenRuntime(L"app\\jre8");
    BrokenRuntime(L"shared\\jre8");
    BrokenRuntime(L"elsewhere\\start\\jre8");
    BrokenRuntime(L"elsewhere\\shared\\jre8");
    RunOptions options = Options({});
    options.workingDirectory = folder.PathOf(L"elsewhere\\start");

    WriteIni(L"JRE Path=jre8\n");
    {
        SCOPED_TRACE("JRE Path=jre8");
        ExpectChosen(launcher, Library(folder.PathOf(L"app\\jre8")), options);
    }
    WriteIni(L"JRE Path=..\\shared\\jre8\n");
    {
        SCOPED_TRACE("JRE Path=..\\shared\\jre8");
        ExpectChosen(launcher, Library(folder.PathOf(L"app\\..\\shared\\jre8")), options);
    }
}

// Two registered versions newer than 1.8: the newest one wins, unless "Maximum
// Version" leaves it out, when the newest one within the bound does.
TEST_F(JvmDiscovery, RegistryGivesTheNewestRuntimeWithinTheMaximumVersion) {
    std::wstring launcher = AddLauncher();
    RegisterThreeVersions();
    WriteIni(L"");
    {
        SCOPED_TRACE("no bounds");
        ExpectChosen(launcher, RegisteredLibrary(L"17.0.1"));
    }
    WriteIni(L"Maximum Version=11\n");
    {
        SCOPED_TRACE("Maximum Version=11");
        ExpectChosen(launcher, RegisteredLibrary(L"11.0.2"));
    }
}

// The first entry of "Preferred versions" that matches a candidate decides, even
// against newer runtimes.
TEST_F(JvmDiscovery, PreferredVersionsPickAnOlderRegisteredRuntime) {
    std::wstring launcher = AddLauncher();
    RegisterThreeVersions();
    WriteIni(L"Preferred versions=1.7;1.8\n");
    ExpectChosen(launcher, RegisteredLibrary(L"1.8.0_292"));
}

// JAVA_HOME is a folder with or without the closing backslash; the library path
// built from it has exactly one backslash there.
TEST_F(JvmDiscovery, JavaHomeWithOrWithoutTrailingBackslash) {
    std::wstring launcher = AddLauncher();
    std::wstring environment = BrokenRuntime(L"java home");
    WriteIni(L"");
    {
        SCOPED_TRACE("JAVA_HOME without a trailing backslash");
        ExpectChosen(launcher, Library(environment), environment);
    }
    {
        SCOPED_TRACE("JAVA_HOME with a trailing backslash");
        ExpectChosen(launcher, Library(environment), environment + L"\\");
    }
}

// A runtime with both a client and a server library: by default the client one is
// chosen (here a broken one), with "JVM Type=server" the server one, which runs.
TEST_F(JvmDiscovery, JvmTypeServerTakesTheServerLibraryOverTheClientOne) {
    std::wstring launcher = AddLauncher();
    TestJvmRuntime runtime(folder.PathOf(L"both"), HostedApp::DefaultJvmIni(), TestJvmFlavor::kServer);
    BrokenRuntime(L"both", {L"client"});
    {
        SCOPED_TRACE("no JVM Type");
        WriteIni(L"JRE Path=" + runtime.home() + L"\n");
        ExpectChosen(launcher, Library(runtime.home(), L"client"));
        EXPECT_TRUE(runtime.ReadLog().events.empty()) << "the server library was loaded too";
    }
    WriteIni(L"JRE Path=" + runtime.home() + L"\nJVM Type=server\n");
    LauncherRun run = RunLauncher(launcher, {}, Options({}));
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = runtime.ReadLog();
    ExpectNoProblems(log);
    EXPECT_EQ(LoadingProcess(log), L"App.exe");
    EXPECT_EQ(log.mainCalls.size(), 1u);
}

// An application shipped with both launchers, App.exe (32-bit) and App64.exe
// (64-bit), each with its INI; the test starts the one of its own architecture.
class PairedApp {
public:
    explicit PairedApp(const AppFolder& folder) : folder_(folder) {
        folder.AddCopyOf(Launcher32(), L"app\\App.exe");
        folder.AddCopyOf(Launcher64(), L"app\\App64.exe");
    }

    // Each INI names the other launcher as its pair (absolute path), or none.
    void WriteInis(const std::wstring& runtimeLines, bool withPair) const {
        for (const wchar_t* name : {L"App", L"App64"}) {
            const wchar_t* pair = std::wstring_view(name) == L"App" ? L"App64" : L"App";
            std::wstring application;
            if (withPair) {
                application = L"Pair Product=" + folder_.PathOf(std::wstring(L"app\\") + pair + L".exe") +
                              L"\nPair Return Code=Yes\n";
            }
            std::wstring text = L"[Application]\n" + application +
                                L"[Java Runtime Environment]\nMain Class=com.example.App\n" + runtimeLines +
                                L"[Class Path]\nClass Path=" + folder_.PathOf(L"classes") + L"\n";
            folder_.WriteText(std::wstring(L"app\\") + name + L".ini", text);
        }
    }

    std::wstring Launcher() const { return folder_.PathOf(TestingLauncher64() ? L"app\\App64.exe" : L"app\\App.exe"); }

private:
    const AppFolder& folder_;
};

// A runtime registered only in the 64-bit view. The 64-bit launcher reads that view
// as its own and hosts the runtime itself, pair or no pair. The 32-bit launcher
// looks there only when it has a pair: without one it finds nothing and asks the
// user; with one it hands the launch over, and the pair finds the runtime in its
// own view and runs it.
TEST_F(JvmDiscovery, WideRegistryViewIsSearchedOnlyBy32BitLauncherWithAPair) {
    PairedApp app(folder);
    TestJvmArch arch64 = TestingLauncher64() ? TestJvmArch::kSame : TestJvmArch::kPair;
    TestJvmRuntime runtime(folder.PathOf(L"wide"), ExitingJvmIni(), TestJvmFlavor::kServer,
                           TestJvmVariant::kComplete, arch64);
    RegisterJavaRuntime(registry, KEY_WOW64_64KEY, kModernJdkKey, L"17.0.1", runtime.home());

    for (bool withPair : {false, true}) {
        SCOPED_TRACE(withPair ? "with Pair Product" : "without Pair Product");
        DeleteFileW(runtime.logPath().c_str());
        app.WriteInis(L"", withPair);
        bool asksUser = !TestingLauncher64() && !withPair;
        RunOptions options = Options({});
        if (asksUser) {
            options.expectedWindows = {ExpectJreNotFoundDialogCancelled()};
            options.timeoutMs = kDialogRunTimeoutMs;
        }
        LauncherRun run = RunLauncher(app.Launcher(), {}, options);
        TestJvmLog log = runtime.ReadLog();
        if (asksUser) {
            EXPECT_EQ(run.exitCode, -1);
            EXPECT_TRUE(log.events.empty()) << "the 64-bit runtime was loaded";
            continue;
        }
        EXPECT_EQ(run.exitCode, kHandOverExitCode) << DescribeProcesses(run);
        EXPECT_EQ(LoadingProcess(log), L"App64.exe");
        const std::size_t processes = TestingLauncher64() ? 1 : 2;
        EXPECT_EQ(run.processes.size(), processes) << DescribeProcesses(run);
        ExpectNoProblems(log);
    }
}

// JAVA_HOME names a runtime of the other architecture: with a pair, the launcher
// hands the launch over, and the pair, which inherits JAVA_HOME, runs it.
TEST_F(JvmDiscovery, JavaHomeOfTheOtherArchitectureGoesToThePair) {
    PairedApp app(folder);
    TestJvmRuntime runtime(folder.PathOf(L"foreign"), ExitingJvmIni(), TestJvmFlavor::kClient,
                           TestJvmVariant::kComplete, TestJvmArch::kPair);
    app.WriteInis(L"", true);
    LauncherRun run = RunLauncher(app.Launcher(), {}, Options({}, runtime.home()));
    EXPECT_EQ(run.exitCode, kHandOverExitCode) << DescribeProcesses(run);
    ASSERT_EQ(run.processes.size(), 2u) << DescribeProcesses(run);
    std::wstring host = TestingLauncher64() ? L"App.exe" : L"App64.exe";
    EXPECT_TRUE(SameText(FileNameOf(run.processes[1].imagePath), host)) << DescribeProcesses(run);
    TestJvmLog log = runtime.ReadLog();
    EXPECT_EQ(LoadingProcess(log), host);
    ExpectNoProblems(log);
}

}  // namespace
}  // namespace orvo::test
