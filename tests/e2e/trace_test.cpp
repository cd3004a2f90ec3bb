// The trace a user gets with ORVO_TRACE: a launch on the real runtime through both
// launchers, with a line of each kind in the one file, and the reasons the search
// gives for every registered runtime it passes over (on the test JVM).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosting_test_app.h"
#include "support/app_folder.h"
#include "support/file_tree.h"
#include "support/java_runtime.h"
#include "support/installer_keys.h"
#include "support/launcher_run.h"
#include "support/registry_keys.h"
#include "support/test_jvm.h"
#include "support/trace_file.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

constexpr wchar_t kWord[] = L"Gr\u00FC\u00DFe \u4E16\u754C";

struct ExpectedLine {
    const wchar_t* topic;
    std::wstring text;
    bool prefix = false;
};

// Each line is there, and lines of one process are in the order given.
void ExpectLinesInOrder(const TraceFile& trace, const wchar_t* process, const std::vector<ExpectedLine>& expected) {
    std::size_t previous = 0;
    bool shown = false;
    for (const ExpectedLine& line : expected) {
        std::optional<std::size_t> index = trace.Find(process, line.topic, line.text, line.prefix);
        EXPECT_TRUE(index) << Utf8(process) << " has no line \"" << Utf8(line.topic) << ": " << Utf8(line.text)
                           << "\"" << (shown ? "" : "; the trace:\n" + trace.Text());
        shown = shown || !index;
        if (!index) continue;
        EXPECT_GE(*index, previous) << "out of order: " << Utf8(line.topic) << ": " << Utf8(line.text);
        previous = *index;
    }
}

// One process id per launcher, and its clock never runs back.
void ExpectOneProcessWithARisingClock(const TraceFile& trace, const wchar_t* process) {
    std::vector<const TraceLine*> lines = trace.Of(process);
    ASSERT_FALSE(lines.empty()) << "no line of " << Utf8(process);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]->processId, lines[0]->processId);
        EXPECT_GE(lines[i]->elapsedMs, lines[i - 1]->elapsedMs) << Utf8(lines[i]->text);
    }
}

TEST(LauncherTrace, EveryStepOfALaunchIsTracedByEachLauncher) {
    AppFolder folder;
    ProbeApp app(folder);
    const std::wstring tracePath = folder.PathOf(L"trace.txt");
    RunOptions options = app.Options();
    options.environment.push_back({L"ORVO_TRACE", tracePath});
    LauncherRun run = RunLauncher(app.Launcher(), {L"print-args", L"--", kWord}, options);
    EXPECT_EQ(run.exitCode, 0);

    TraceFile trace = ReadTraceFile(tracePath);
    ASSERT_TRUE(trace.exists);
    EXPECT_TRUE(trace.malformed.empty()) << trace.Text();
    const std::wstring ini = folder.PathOf(L"App64.ini");
    const std::wstring library = RealRuntimeClientLibrary();
    ExpectLinesInOrder(trace, L"App64.exe",
                       // The pair is started with the command line of the launcher the user started.
                       {{L"start", L"\"" + app.Launcher() + L"\"", true},
                        {L"config", L"main file " + ini + L": found"},
                        {L"config", ini + L" [Java Runtime Environment] Main Class=orvo.test.Probe"},
                        // Every value the launch uses is read with the others, once.
                        {L"config", ini + L" [Class Path] Class Path=" + ProbeJar()},
                        {L"stage", L"settings read"},
                        {L"search", L"JRE Path: taken, " + library},
                        {L"stage", L"runtime chosen: " + library},
                        {L"stage", L"loading " + library},
                        {L"stage", L"library loaded"},
                        {L"stage", L"creating the VM"},
                        {L"option", L"-Djava.class.path=" + ProbeJar() + L";"},
                        {L"option", L"abort"},
                        {L"option", L"exit"},
                        {L"stage", L"VM created"},
                        {L"main", L"class orvo/test/Probe, 3 arguments"},
                        {L"main", L"argument 3: " + std::wstring(kWord)},
                        {L"stage", L"calling main"},
                        {L"stage", L"main returned"},
                        {L"exit", L"code 0"}});
    ExpectOneProcessWithARisingClock(trace, L"App64.exe");
    if (TestingLauncher64()) {
        EXPECT_TRUE(trace.Of(L"App.exe").empty()) << trace.Text();
        return;
    }
    // The 32-bit launcher's lines come first, its exit after its pair's.
    ExpectLinesInOrder(trace, L"App.exe",
                       {{L"start", L"\"" + app.App32() + L"\"", true},
                        {L"search", L"the paired launcher " + app.HostLauncher() + L" is to host " + library},
                        {L"stage", L"handing the launch to " + app.HostLauncher()},
                        {L"exit", L"code 0"}});
    ExpectOneProcessWithARisingClock(trace, L"App.exe");
    EXPECT_LT(trace.Find(L"App.exe", L"stage", L"handing the launch to ", true),
              trace.Find(L"App64.exe", L"start", L"", true));
    EXPECT_GT(trace.Find(L"App.exe", L"exit", L"code 0"), trace.Find(L"App64.exe", L"exit", L"code 0"));
}

// The view a launcher of this test program's architecture reads by default.
constexpr REGSAM kOwnView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
const wchar_t* const kOwnViewName = sizeof(void*) == 8 ? L" (64-bit view)" : L" (32-bit view)";

// Runtimes registered with one fault each beside one that is fine: the trace (on
// standard error this time) names each with what was learnt of it and why it was
// refused.
TEST(LauncherTrace, RegisteredRuntimesAreTracedWithTheReasonTheyWereRefused) {
    AppFolder folder;
    folder.CreateFolder(L"app");
    folder.CreateFolder(L"classes");  // a class path that names nothing stops the launch
    const std::wstring launcher = folder.AddLauncher(L"app\\App.exe");
    folder.WriteText(L"app\\App.ini", L"[Java Runtime Environment]\nMain Class=com.example.App\nMinimum Version=1.8\n"
                                      L"[Class Path]\nClass Path=" + folder.PathOf(L"classes") + L"\n");
    TestJvmRuntime fine(folder.PathOf(L"fine"), HostedApp::DefaultJvmIni());
    folder.WriteBytes(L"fine\\release", "JAVA_VERSION=\"11.0.21\"\n");
    TestJvmRuntime foreign(folder.PathOf(L"foreign"), HostedApp::DefaultJvmIni(), TestJvmFlavor::kServer,
                           TestJvmVariant::kComplete, TestJvmArch::kPair);
    const std::wstring noLibrary = folder.CreateFolder(L"nolibrary\\bin");
    folder.WriteBytes(L"nolibrary\\bin\\java.dll", "");
    const std::wstring fineHome = fine.home() + L"\\";
    const std::wstring foreignHome = foreign.home() + L"\\";
    const std::wstring noLibraryHome = folder.PathOf(L"nolibrary\\");

    RequireNoJavaRegistrations();
    OwnedRegistryKeys keys;
    RegisterJavaRuntime(keys, kOwnView, L"Software\\JavaSoft\\JRE", L"1.6.0_45", fineHome);
    keys.Create(HKEY_LOCAL_MACHINE, L"Software\\JavaSoft\\JDK\\11.0.2", kOwnView);  // without JavaHome
    const std::wstring removedHome = folder.PathOf(L"removed\\");  // uninstalled, key left behind
    RegisterJavaRuntime(keys, kOwnView, L"Software\\JavaSoft\\JDK", L"17.0.5", removedHome);
    RegisterInstalledRuntime(keys, HKEY_LOCAL_MACHINE, kOwnView, kTemurinJdk, L"17.0.1.12", noLibraryHome);
    keys.SetString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\JDK\\21.0.1.12\\hotspot", kOwnView, L"Path",
                   fineHome);  // not in its MSI subkey
    RegisterInstalledRuntime(keys, HKEY_LOCAL_MACHINE, kOwnView, kSemeruJdk, L"17.0.9.9", fineHome);
    RegisterInstalledRuntime(keys, HKEY_CURRENT_USER, kOwnView, kZulu, L"zulu-21", foreignHome);
    RegisterInstalledRuntime(keys, HKEY_LOCAL_MACHINE, kOwnView, kTemurinJre, L"11.0.21.9", fineHome);

    // ORVO_TRACE=1: the trace goes to standard error, here a file.
    const std::wstring tracePath = folder.PathOf(L"stderr.txt");
    RunOptions options;
    options.environment = {{L"JAVA_HOME", std::nullopt}, {L"ORVO_TRACE", L"1"}};
    options.stdErrorFile = tracePath;
    LauncherRun run = RunLauncher(launcher, {}, options);
    EXPECT_EQ(run.exitCode, 0);
    ExpectNoProblems(fine.ReadLog());

    const std::wstring view = kOwnViewName;
    const std::wstring temurinJre = L"HKLM\\Software\\Eclipse Adoptium\\JRE\\11.0.21.9\\hotspot\\MSI" + view;
    const ExpectedLine expected[] = {
        {L"search", L"JRE Path: not set"},
        {L"search", L"launcher folder: refused, no bin\\java.dll in " + folder.PathOf(L"app\\") + L" or " +
                        folder.PathOf(L"app\\jre\\")},
        {L"search", L"HKLM\\Software\\JavaSoft\\JDK\\11.0.2" + view + L", version 11.0.2 (key name): refused, no "
                    L"JavaHome value"},
        {L"search", L"HKLM\\Software\\JavaSoft\\JDK\\17.0.5" + view + L", version 17.0.5 (key name), home " +
                        removedHome + L": refused, the home folder is not there"},
        {L"search", L"HKLM\\Software\\JavaSoft\\JRE\\1.6.0_45" + view + L", version 1.6.0.45 (key name): refused, "
                    L"version outside the range 1.8 to any"},
        {L"search", L"HKLM\\Software\\Eclipse Adoptium\\JDK\\17.0.1.12\\hotspot\\MSI" + view +
                        L", version 17.0.1.12 (key name), home " + noLibraryHome + L": refused, no JVM library in " +
                        noLibraryHome + L" for any JVM Type"},
        {L"search", temurinJre + L", version 11.0.21 (release file), home " + fineHome + L": candidate"},
        {L"search", L"HKLM\\Software\\Microsoft\\JDK\\21.0.1.12\\hotspot\\MSI" + view +
                        L": refused, the key cannot be opened"},
        {L"search", L"HKLM\\Software\\Semeru\\JDK\\17.0.9.9\\openj9\\MSI" + view +
                        L": not searched, JVM Source or VM Provider leaves it out"},
        {L"search", L"HKCU\\Software\\Azul Systems\\Zulu\\zulu-21" + view + L", version 21.0 (key name), home " +
                        foreignHome + L": refused, its library " + foreign.jvmPath() +
                        L" is of the other architecture"},
        {L"search", L"chosen " + temurinJre + L", version 11.0.21, first in order"},
        {L"search", L"registry: taken, " + fine.jvmPath()},
    };
    TraceFile trace = ReadTraceFile(tracePath);
    EXPECT_TRUE(trace.malformed.empty()) << trace.Text();
    ExpectLinesInOrder(trace, L"App.exe", std::vector<ExpectedLine>(std::begin(expected), std::end(expected)));
}

// A launch that fails says where in the trace: the library that would not load with
// the system's error number, or the code the VM refused to start with.
TEST(LauncherTrace, FailedStepsAreTracedWithTheirCode) {
    struct Case {
        const char* label;
        bool libraryIsText;
        const wchar_t* createResult;
    };
    for (const Case& c : {Case{"a library that is no library", true, L"0"}, Case{"a VM that will not start", false,
                                                                                 L"-6"}}) {
        SCOPED_TRACE(c.label);
        HostedApp app(HostedApp::DefaultJvmIni().Set("create_result", c.createResult));
        const std::wstring library = app.runtime.jvmPath();
        if (c.libraryIsText) WriteFileBytes(library, "This file is not a library.\r\n");
        const std::wstring box = c.libraryIsText
                                     ? L"Failed to load Java VM library: " + library + L" (errno = 193).\n"
                                     : L"JNI exception: failed to create the Java VM\nReason: invalid arguments.\n";
        const std::wstring line = c.libraryIsText ? L"cannot load " + library + L" (errno = 193)"
                                                  : L"JNI_CreateJavaVM failed with -6";
        const std::wstring tracePath = app.folder.PathOf(L"trace.txt");
        LauncherRun run = app.Run({}, {ExpectErrorBox(box)}, {{L"ORVO_TRACE", tracePath}});
        EXPECT_EQ(run.exitCode, -1);
        ExpectLinesInOrder(ReadTraceFile(tracePath), L"App.exe", {{L"jvm", line}, {L"exit", L"code -1"}});
    }
}

// ORVO_TRACE may name a file by a path relative to the current folder, however long;
// and a switch in a letter case the configuration does not take is left off with a
// line that says why.
TEST(LauncherTrace, LongRelativePathIsWrittenAndSwitchesInAnotherLetterCaseAreExplained) {
    HostedIni ini;
    ini.applicationLines = L"Single Instance=Yes\nApplication Type=SERVICE\nOutput Append=YES\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    const std::wstring relative = std::wstring(200, L'd') + L"\\" + std::wstring(100, L'e') + L"\\trace.txt";
    ASSERT_GT(relative.size(), static_cast<std::size_t>(MAX_PATH));
    app.folder.CreateFolder(relative.substr(0, relative.rfind(L'\\')));
    RunOptions options;
    options.environment = {{L"JAVA_HOME", std::nullopt}, {L"ORVO_TRACE", relative}};
    options.workingDirectory = app.folder.path();
    EXPECT_EQ(RunLauncher(app.launcher, {}, options).exitCode, 0);
    const TraceFile trace = ReadTraceFile(app.folder.PathOf(relative));
    ASSERT_TRUE(trace.exists) << "nothing written to the relative path";
    const auto notTaken = [](const wchar_t* setting, const wchar_t* keyword) {
        return ExpectedLine{L"config", std::wstring(setting) + L" is not taken: the value must be \"" + keyword +
                                           L"\" exactly, in that letter case"};
    };
    ExpectLinesInOrder(trace, L"App.exe",
                       {notTaken(L"Application Type=SERVICE", L"service"), notTaken(L"Single Instance=Yes", L"yes"),
                        notTaken(L"Output Append=YES", L"yes"), {L"exit", L"code 0"}});
}

}  // namespace
}  // namespace orvo::test
