// Starts that fail on the real runtime, tried as a user who double-clicked would: no
// standard error anyone reads. Each one ends with a box that says why, and with the
// exit code the runtime (or java.exe) would give.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/ui_automation.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

std::wstring StoppedBeforeMain(std::wstring_view runtimeOutput) {
    return L"The Java runtime stopped before the application started. It reported:\n\n" + std::wstring(runtimeOutput);
}

struct FailedStart {
    const char* name;
    std::function<void(const AppFolder&, ProbeAppSettings&)> arrange;
    std::function<std::wstring(const AppFolder&)> box;
    int exitCode;
};

const FailedStart kFailedStarts[] = {
    {"main class that cannot be found",
     [](const AppFolder&, ProbeAppSettings& settings) { settings.mainClass = L"orvo.test.Missing"; },
     [](const AppFolder&) {
         return StoppedBeforeMain(L"Error: Could not find or load main class orvo.test.Missing\n"
                                  L"Caused by: java.lang.ClassNotFoundException: orvo.test.Missing");
     },
     1},
    {"main class without main",
     [](const AppFolder&, ProbeAppSettings& settings) { settings.mainClass = L"java.lang.Object"; },
     [](const AppFolder&) {
         return StoppedBeforeMain(L"Error: Main method not found in class java.lang.Object, please define the main "
                                  L"method as:\n   public static void main(String[] args)\nor a JavaFX application "
                                  L"class must extend javafx.application.Application");
     },
     1},
    {"option the runtime rejects",
     [](const AppFolder&, ProbeAppSettings& settings) {
         settings.runtimeLines = L"Virtual Machine Parameters=-Xmx512q\n";
     },
     [](const AppFolder&) {
         return std::wstring(L"JNI exception: failed to create the Java VM\nReason: invalid arguments.\n\n"
                             L"The Java runtime reported:\nInvalid maximum heap size: -Xmx512q");
     },
     -1},
    {"class path whose entries are all missing",
     [](const AppFolder& folder, ProbeAppSettings& settings) {
         settings.classPath = L"lib\\*.jar;app.jar;" + folder.PathOf(L"gone.jar");
     },
     [](const AppFolder& folder) {
         return L"Nothing that Java Class Path names in the INI file exists. It was looked for at:\n" +
                folder.PathOf(L"lib\\*.jar") + L"\n" + folder.PathOf(L"app.jar") + L"\n" + folder.PathOf(L"gone.jar");
     },
     -1},
};

TEST(RealRuntimeFailedStart, EndsWithTheBoxAndTheExitCodeOfItsCause) {
    for (const FailedStart& c : kFailedStarts) {
        SCOPED_TRACE(c.name);
        AppFolder folder;
        ProbeAppSettings settings;
        c.arrange(folder, settings);
        ProbeApp app(folder, settings);
        LauncherRun run = app.Run({}, {ExpectMessageBox(c.box(folder), IDOK, L"failed-start")});
        EXPECT_EQ(run.exitCode, c.exitCode) << DescribeProcesses(run);
        ExpectProcessesOfHandOver(run);
        EXPECT_FALSE(app.Results().exists()) << app.Results().Text();
    }
}

// With Failure Check, Stop ends the program with -1; the error stream gets the
// report of the exception all the same, as it does after Ignore.
TEST(RealRuntimeFailedStart, StopWritesTheExceptionToTheErrorFile) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.applicationLines = L"Failure Check=Yes\nError File=" + folder.PathOf(L"err.txt") + L"\n";
    ProbeApp app(folder, settings);
    ExpectedWindow dialog;
    dialog.description = L"Java Exception dialog";
    dialog.matches = [](const WindowSnapshot& window) { return window.IsDialog() && window.title == L"Java Exception"; };
    dialog.respond = [](const WindowSnapshot& window) { EXPECT_TRUE(PressButton(window.handle, IDCANCEL)); };
    LauncherRun run = app.Run({L"throw", L"stopped"}, {dialog});
    EXPECT_EQ(run.exitCode, -1) << DescribeProcesses(run);
    std::optional<std::wstring> errors = folder.ReadText(L"err.txt");
    ASSERT_TRUE(errors.has_value()) << "no error file";
    EXPECT_EQ(errors->find(L"Exception in thread \"main\" java.lang.IllegalStateException: stopped\r\n"), 0u)
        << Utf8(*errors);
    EXPECT_NE(errors->find(L"\tat orvo.test.Probe.main(Probe.java:"), std::wstring::npos) << Utf8(*errors);
}

}  // namespace
}  // namespace orvo::test
