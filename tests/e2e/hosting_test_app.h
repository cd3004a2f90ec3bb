#pragma once
// An application folder whose launcher hosts the test JVM library: App.exe, its
// App.ini (main class com.example.App, JRE Path at the test runtime in "jre"), and
// the runtime's testjvm.ini and testjvm.log. The tests of the hosting behaviour use
// it to run the launcher and read what the VM was asked to do.
#include <optional>
#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/launcher_run.h"
#include "support/test_jvm.h"

namespace orvo::test {

// The classes every hosted test knows: the application and the runtime's launcher helper.
inline constexpr wchar_t kAppClasses[] = L"com/example/App;sun/launcher/LauncherHelper";

struct HostedIni {
    std::wstring mainClass = L"com.example.App";
    // "Class Path"; nullopt: the absolute entry of the folder "classes".
    std::optional<std::wstring> classPath;
    std::wstring applicationLines;  // further "key=value\n" lines of [Application]
    std::wstring runtimeLines;      // of [Java Runtime Environment]
    std::wstring extraSections;     // whole sections appended at the end
    TextEncoding encoding = TextEncoding::kAnsi;
};

class HostedApp {
public:
    // A folder named after the running test, the launcher as App.exe and a runtime
    // of the test library in "jre" with that testjvm.ini; App.ini as `ini` says.
    explicit HostedApp(const TestJvmIni& jvmIni = DefaultJvmIni(), HostedIni ini = {},
                       TestJvmVariant variant = TestJvmVariant::kComplete);

    static TestJvmIni DefaultJvmIni();

    // Replaces App.ini.
    void WriteIni(const HostedIni& ini) const;
    // Runs App.exe with JAVA_HOME removed from its environment.
    LauncherRun Run(const std::vector<std::wstring>& arguments = {}, std::vector<ExpectedWindow> expected = {},
                    std::vector<EnvironmentChange> environment = {}, DWORD timeoutMs = kDefaultRunTimeoutMs) const;
    TestJvmLog Log() const { return runtime.ReadLog(); }
    // Runs App.exe without arguments, expects exit code 0 and a VM that saw no misuse
    // or unimplemented call, and returns the log.
    TestJvmLog RunToCleanEnd() const;

    // The class path option the default INI gives.
    std::wstring DefaultClassPathEntry() const { return folder.PathOf(L"classes"); }

    AppFolder folder;
    TestJvmRuntime runtime;
    std::wstring launcher;
};

// The options of the log's one creation as text (ANSI decoded), in order.
std::vector<std::wstring> OptionTexts(const TestJvmLog& log);

// Fails the test when the VM saw a misuse or an unimplemented call.
void ExpectNoProblems(const TestJvmLog& log);

// An error box of the launcher with exactly this text, answered with OK.
ExpectedWindow ExpectErrorBox(std::wstring text, std::wstring screenshotLabel = {});

// The box of a start that ended before main with only the runtime's own words, and
// a launcher's box followed by them (standard error leads nowhere in a test run).
std::wstring StoppedBeforeMainBox(std::wstring_view runtimeOutput);
std::wstring WithRuntimeReport(std::wstring_view box, std::wstring_view runtimeOutput);
// What the test JVM prints for an exception it describes or leaves uncaught.
std::wstring TestJvmExceptionReport(std::wstring_view classAndMessage);

}  // namespace orvo::test
