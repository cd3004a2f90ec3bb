#include "hosting_test_app.h"

#include <gtest/gtest.h>

#include "support/wide_text.h"

namespace orvo::test {

HostedApp::HostedApp(const TestJvmIni& jvmIni, HostedIni ini, TestJvmVariant variant)
    : runtime(folder.PathOf(L"jre"), jvmIni, TestJvmFlavor::kServer, variant),
      launcher(folder.AddLauncher(L"App.exe")) {
    folder.CreateFolder(L"classes");  // a class path that names nothing stops the launch
    WriteIni(ini);
}

TestJvmIni HostedApp::DefaultJvmIni() { return TestJvmIni().Set("classes", kAppClasses); }

void HostedApp::WriteIni(const HostedIni& ini) const {
    std::wstring text = L"[Application]\n" + ini.applicationLines;
    text += L"[Java Runtime Environment]\nMain Class=" + ini.mainClass + L"\nJRE Path=" + runtime.home() + L"\n";
    text += ini.runtimeLines;
    text += L"[Class Path]\nClass Path=" + ini.classPath.value_or(DefaultClassPathEntry()) + L"\n";
    text += ini.extraSections;
    folder.WriteText(L"App.ini", text, ini.encoding);
}

LauncherRun HostedApp::Run(const std::vector<std::wstring>& arguments, std::vector<ExpectedWindow> expected,
                           std::vector<EnvironmentChange> environment, DWORD timeoutMs) const {
    RunOptions options;
    options.expectedWindows = std::move(expected);
    options.environment = std::move(environment);
    options.environment.push_back({L"JAVA_HOME", std::nullopt});
    options.timeoutMs = timeoutMs;
    return RunLauncher(launcher, arguments, options);
}

std::vector<std::wstring> OptionTexts(const TestJvmLog& log) {
    std::vector<std::wstring> texts;
    if (log.creations.size() != 1) {
        ADD_FAILURE() << "expected one JNI_CreateJavaVM call, saw " << log.creations.size();
        return texts;
    }
    for (const TestJvmOption& option : log.creations[0].options) texts.push_back(option.text);
    return texts;
}

void ExpectNoProblems(const TestJvmLog& log) {
    for (const std::string& problem : log.problems) ADD_FAILURE() << "test JVM: " << problem;
}

ExpectedWindow ExpectErrorBox(std::wstring text, std::wstring screenshotLabel) {
    return ExpectMessageBox(std::move(text), IDOK, std::move(screenshotLabel));
}

std::wstring StoppedBeforeMainBox(std::wstring_view runtimeOutput) {
    return L"The Java runtime stopped before the application started. It reported:\n\n" + std::wstring(runtimeOutput);
}

std::wstring WithRuntimeReport(std::wstring_view box, std::wstring_view runtimeOutput) {
    std::wstring text(box);
    text += text.ends_with(L'\n') ? L"\n" : L"\n\n";
    return text + L"The Java runtime reported:\n" + std::wstring(runtimeOutput);
}

std::wstring TestJvmExceptionReport(std::wstring_view classAndMessage) {
    return L"Exception in thread \"main\" " + std::wstring(classAndMessage) + L"\n\tat testjvm.Native(Native Method)";
}

TestJvmLog HostedApp::RunToCleanEnd() const {
    LauncherRun run = Run();
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = Log();
    ExpectNoProblems(log);
    return log;
}

}  // namespace orvo::test
