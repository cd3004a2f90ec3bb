// The console launchers (orvoc.exe, and orvoc64.exe, which hosts the 64-bit runtime
// for both) on the real runtime, as a command-line tool is used: its streams are the
// caller's, the caller gets its exit code, its messages are text on standard error,
// Ctrl+C ends it as it ends java.exe. A window of any kind fails the test.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/file_tree.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/registry_keys.h"
#include "support/test_environment.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

ProbeAppSettings Console(ProbeAppSettings settings = {}) {
    settings.console = true;
    return settings;
}

std::string FileText(const std::wstring& path) { return ReadFileBytes(path).value_or("(no file)"); }

TEST(RealRuntimeConsole, OutputAndErrorKeepTheirOrderThroughAPipeAndIntoAFile) {
    AppFolder folder;
    ProbeApp app(folder, Console());
    const std::vector<std::wstring> arguments{L"stdout", L"out 1", L"stderr", L"err 1", L"stdout", L"out 2",
                                              L"stderr", L"err 2"};
    for (bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "2>&1 into a pipe" : "2>&1 into a file");
        RunOptions options = app.Options();
        options.errorToOutput = true;
        options.outputToPipe = pipe;
        options.stdOutputFile = pipe ? L"" : folder.PathOf(L"both.txt");
        LauncherRun run = RunLauncher(app.Launcher(), arguments, options);
        EXPECT_EQ(run.exitCode, 0) << DescribeProcesses(run);
        EXPECT_EQ(pipe ? run.piped : FileText(options.stdOutputFile), "out 1\r\nerr 1\r\nout 2\r\nerr 2\r\n");
    }
    RunOptions options = app.Options();
    options.stdOutputFile = folder.PathOf(L"out.txt");
    options.stdErrorFile = folder.PathOf(L"err.txt");
    EXPECT_EQ(RunLauncher(app.Launcher(), arguments, options).exitCode, 0);
    EXPECT_EQ(FileText(options.stdOutputFile), "out 1\r\nout 2\r\n");
    EXPECT_EQ(FileText(options.stdErrorFile), "err 1\r\nerr 2\r\n");
}

TEST(RealRuntimeConsole, TheProgramReadsItsStandardInput) {
    AppFolder folder;
    ProbeApp app(folder, Console());
    RunOptions options = app.Options();
    options.stdInputFile = folder.PathOf(L"in.txt");
    WriteFileBytes(options.stdInputFile, "first line\r\nsecond line\r\n");
    options.outputToPipe = true;
    LauncherRun run = RunLauncher(app.Launcher(), {L"echo-stdin"}, options);
    EXPECT_EQ(run.exitCode, 0) << DescribeProcesses(run);
    EXPECT_EQ(run.piped, "first line\r\nsecond line\r\n");
}

// With Failure Check on as well: a console program shows no exception dialog.
TEST(RealRuntimeConsole, ExitsWithTheCodeJavaGivesAndArgumentsArriveExactly) {
    struct Case {
        const char* name;
        std::vector<std::wstring> arguments;
        int exitCode;
        std::string errorStart;  // what standard error starts with
    };
    const Case cases[] = {
        {"main returns", {L"print-args", L"--", L"Grüße", L"日本語", L"Ελληνικά ☕"}, 0, ""},
        {"System.exit(7)", {L"exit", L"7"}, 7, ""},
        {"uncaught exception", {L"throw", L"boom"}, 1, "Exception in thread \"main\" java.lang.IllegalStateException: boom\r\n\tat orvo.test.Probe"},
    };
    AppFolder folder;
    ProbeAppSettings settings = Console();
    settings.applicationLines = L"Failure Check=Yes\n";
    ProbeApp app(folder, settings);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunOptions options = app.Options();
        options.stdErrorFile = folder.PathOf(L"err.txt");
        LauncherRun run = RunLauncher(app.Launcher(), c.arguments, options);
        EXPECT_EQ(run.exitCode, c.exitCode) << DescribeProcesses(run);
        const std::string errors = FileText(options.stdErrorFile);
        EXPECT_EQ(errors.substr(0, c.errorStart.size()), c.errorStart) << errors;
        if (c.errorStart.empty()) EXPECT_EQ(errors, "");
    }
    const ProbeResults results = app.Results();
    EXPECT_EQ(results.Value(L"arg.2"), L"Grüße") << results.Text();
    EXPECT_EQ(results.Value(L"arg.3"), L"日本語");
    EXPECT_EQ(results.Value(L"arg.4"), L"Ελληνικά ☕");
}

struct FailedStart {
    const char* name;
    std::function<void(const AppFolder&, ProbeAppSettings&)> arrange;
    bool start32;                       // the 32-bit launcher, in either run
    std::vector<std::wstring> messages;  // what standard error holds; <folder> is the application's
    int exitCode;
};

const FailedStart kFailedStarts[] = {
    {"no runtime anywhere",
     [](const AppFolder&, ProbeAppSettings& settings) { settings.jrePath = L""; },
     false,
     {L"The Java Runtime Environment (JRE) was not found.", L"\r\nhttps://adoptium.net/\r\n",
      L"Searched: JRE Path (not set); <folder>[\\jre]; registry; JAVA_HOME (not set).\r\n"},
     -1},
    {"class path that names nothing",
     [](const AppFolder& folder, ProbeAppSettings& settings) { settings.classPath = folder.PathOf(L"gone.jar"); },
     false,
     {L"Nothing that Java Class Path names in the INI file exists. It was looked for at:\r\n"},
     -1},
    {"option the runtime rejects",
     [](const AppFolder&, ProbeAppSettings& settings) { settings.runtimeLines = L"Virtual Machine Parameters=-Xmx512q\n"; },
     false,
     {L"Invalid maximum heap size: -Xmx512q", L"JNI exception: failed to create the Java VM\r\nReason: invalid arguments.\r\n"},
     -1},
    {"missing pair",
     [](const AppFolder& folder, ProbeAppSettings& settings) { settings.pairProduct = folder.PathOf(L"Missing64.exe"); },
     true,
     {L"needs the paired launcher, which \"Pair Product\" in the INI file names, but that file is missing:\r\n"},
     -1},
    {"main class that cannot be found",
     [](const AppFolder&, ProbeAppSettings& settings) { settings.mainClass = L"orvo.test.Missing"; },
     false,
     {L"Error: Could not find or load main class orvo.test.Missing"},
     1},
};

TEST(RealRuntimeConsole, AFailedStartSaysWhyOnStandardErrorAndShowsNoWindow) {
    for (const FailedStart& c : kFailedStarts) {
        SCOPED_TRACE(c.name);
        AppFolder folder;
        ProbeAppSettings settings = Console();
        c.arrange(folder, settings);
        if (settings.jrePath && settings.jrePath->empty()) RequireNoJavaRegistrations();
        ProbeApp app(folder, settings);
        RunOptions options = app.Options();
        options.stdErrorFile = folder.PathOf(L"err.txt");
        LauncherRun run = RunLauncher(c.start32 ? app.App32() : app.Launcher(), {}, options);
        EXPECT_EQ(run.exitCode, c.exitCode) << DescribeProcesses(run);
        const std::wstring errors = FromUtf8(FileText(options.stdErrorFile));
        for (std::wstring message : c.messages) {
            if (std::size_t at = message.find(L"<folder>"); at != std::wstring::npos) message.replace(at, 8, folder.path());
            EXPECT_NE(errors.find(message), std::wstring::npos) << Utf8(message) << "\nnot in:\n" << Utf8(errors);
        }
        EXPECT_FALSE(app.Results().exists()) << app.Results().Text();
    }
}

TEST(RealRuntimeConsole, ALaterStartOfASingleInstancePrintsNothingAndAnswers) {
    AppFolder folder;
    ProbeAppSettings settings = Console();
    settings.applicationLines = L"Single Instance=yes\n";
    ProbeApp app(folder, settings);
    LauncherSession primary(app.Launcher(), {L"wait-file", folder.PathOf(L"release")}, app.Options());
    EXPECT_TRUE(primary.WaitUntil([&](const LauncherRun&) { return app.Results().HasLine(L"main", L"started"); },
                                  kRealRuntimeTimeoutMs));
    RunOptions options = app.Options();
    options.outputToPipe = true;
    options.errorToOutput = true;
    LauncherRun later = RunLauncher(app.Launcher(), {L"return", L"42"}, options);
    EXPECT_EQ(later.exitCode, 42) << DescribeProcesses(later);
    EXPECT_EQ(later.piped, "");
    folder.WriteText(L"release", L"");
    EXPECT_EQ(primary.Finish().exitCode, 0);
}

// Ctrl+C pressed at the console the program runs in (by the tests' interrupter, which
// shares it): java.exe of the same runtime gives the code to compare with.
TEST(RealRuntimeConsole, CtrlCRunsTheShutdownHooksAndEndsAsJavaExeDoes) {
    AppFolder folder;
    ProbeApp app(folder, Console());
    const std::wstring interrupter = RequiredEnvironment(L"ORVO_CONSOLE_INTERRUPTER");
    const auto interrupted = [&](const std::wstring& marker, std::vector<std::wstring> command, const std::wstring& results) {
        for (const wchar_t* argument : {L"shutdown-hook", L"write-file"}) command.push_back(argument);
        for (const std::wstring& argument : {marker, std::wstring(L"ready"), std::wstring(L"sleep"), std::wstring(L"60000")})
            command.push_back(argument);
        command.insert(command.begin(), marker);
        RunOptions options = app.Options();
        options.environment = {{L"ORVO_PROBE_RESULTS", results}, {L"JAVA_HOME", std::nullopt}};
        LauncherRun run = RunLauncher(interrupter, command, options);
        EXPECT_TRUE(ProbeResults::Read(results).HasLine(L"hook", L"ran")) << ProbeResults::Read(results).Text();
        return run;
    };
    LauncherRun java = interrupted(folder.PathOf(L"java-ready"),
                                   {RealRuntimeHome() + L"\\bin\\java.exe", L"-cp", ProbeJar(), L"orvo.test.Probe"},
                                   folder.PathOf(L"java-results.txt"));
    EXPECT_EQ(java.exitCode, 130) << DescribeProcesses(java);
    LauncherRun run = interrupted(folder.PathOf(L"ready"), {app.Launcher()}, app.ResultsFile());
    EXPECT_EQ(run.exitCode, java.exitCode) << DescribeProcesses(run);
}

}  // namespace
}  // namespace orvo::test
