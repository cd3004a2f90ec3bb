// Service mode never waits for a person: what the launcher would show in a window
// goes to standard error (and the event log, which wine cannot read back), and the
// launch goes on as if the window had been dismissed. The harness fails a run on
// any window at all.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "hosting_test_app.h"
#include "support/file_tree.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

constexpr wchar_t kTrace[] = L"java.lang.IllegalStateException: Gr\u00FC\u00DFe \u65E5\u672C\n"
                             L"\tat com.example.App.main(App.java:7)\n";

HostedIni ServiceIni(std::wstring applicationLines = {}) {
    HostedIni ini;
    ini.applicationLines = L"Application Type=service\n" + applicationLines;
    return ini;
}

struct ServiceCase {
    const wchar_t* window;  // what a person would have seen
    std::function<void(HostedApp&)> arrange;
    std::wstring standardError;  // the launcher's lines end with "\r\n", the runtime's with "\n"
    std::optional<long> javaExit;  // System.exit's status, as Stop gives it
};

const ServiceCase kCases[] = {
    {L"the box for a missing main class",
     [](HostedApp& app) {
         HostedIni ini = ServiceIni();
         ini.mainClass.clear();
         app.WriteIni(ini);
     },
     L"Main class was not specified in INI file.\r\n", std::nullopt},
    {L"the box for a VM that cannot be created",
     [](HostedApp& app) { app.runtime.WriteIni(HostedApp::DefaultJvmIni().Set("create_result", L"-4")); },
     L"JNI exception: failed to create the Java VM\r\nReason: not enough memory.\r\n", std::nullopt},
    {L"the JRE Not Found dialog, cancelled",
     [](HostedApp& app) { DeleteFileW(app.runtime.jvmPath().c_str()); },
     L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE (latest version) "
     L"from: https://adoptium.net/\r\n",
     std::nullopt},
    {L"the Java Exception dialog, stopped",
     [](HostedApp& app) {
         app.WriteIni(ServiceIni(L"Failure Check=Yes\n"));
         app.runtime.WriteIni(HostedApp::DefaultJvmIni().Set("main", L"throw").Set("main_stack_trace", kTrace));
     },
     // then the report of the uncaught exception, as without Failure Check
     L"The java process has thrown the following uncaught exception and was stopped:\r\n"
     L"java.lang.IllegalStateException: Gr\u00FC\u00DFe \u65E5\u672C\r\n\tat com.example.App.main(App.java:7)\r\n"
     L"Exception in thread \"main\" java.lang.IllegalStateException: Gr\u00FC\u00DFe \u65E5\u672C\n"
     L"\tat com.example.App.main(App.java:7)\n",
     -1},
};

TEST(ServiceMode, NothingWaitsForAPersonAndTheMessageGoesToStandardError) {
    for (const ServiceCase& c : kCases) {
        SCOPED_TRACE(c.window);
        HostedApp app(HostedApp::DefaultJvmIni(), ServiceIni());
        c.arrange(app);
        RunOptions options;
        options.environment = {{L"JAVA_HOME", std::nullopt}};
        options.stdErrorFile = app.folder.PathOf(L"stderr.txt");
        LauncherRun run = RunLauncher(app.launcher, {}, options);  // any window fails the run
        EXPECT_EQ(run.exitCode, -1);
        EXPECT_EQ(ReadFileBytes(options.stdErrorFile), Utf8(c.standardError));
        TestJvmLog log = app.Log();
        ExpectNoProblems(log);
        EXPECT_EQ(log.exitCode, c.javaExit);
    }
}

}  // namespace
}  // namespace orvo::test
