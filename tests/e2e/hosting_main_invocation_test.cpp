// Finding the main class and calling main: the runtime's launcher helper or FindClass,
// arguments of any script, each way the lookup can fail (and that a failed launch
// still ends), System.exit, and the VM's end in service mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosting_test_app.h"

namespace orvo::test {
namespace {

TestJvmIni JvmIniWith(const std::string& key, const std::wstring& value) {
    return HostedApp::DefaultJvmIni().Set(key, value);
}

HostedIni IniWithMainClass(std::wstring mainClass) {
    HostedIni ini;
    ini.mainClass = std::move(mainClass);
    return ini;
}

// After a failed lookup the VM thread has left the VM, so teardown's DestroyJavaVM
// does not wait for it for ever.
void ExpectFailedLaunchEnded(const LauncherRun& run, const TestJvmLog& log) {
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_TRUE(log.mainCalls.empty());
    EXPECT_EQ(log.detachedThreads.size(), 1u);
    EXPECT_EQ(log.destroyEnds, 1);
    ExpectNoProblems(log);
}

TEST(HostingMainInvocation, ArgumentsOutsideTheAnsiCodePageReachMainIntact) {
    HostedApp app;
    std::vector<std::wstring> arguments = {L"Gr\u00FC\u00DFe", L"\u65E5\u672C\u8A9E", L"\U0001F600", L"a b", L""};
    LauncherRun run = app.Run(arguments);
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    ASSERT_EQ(log.mainCalls.size(), 1u);
    EXPECT_EQ(log.mainCalls[0].arguments, arguments);
    EXPECT_FALSE(log.mainCalls[0].nullArray);
}

TEST(HostingMainInvocation, NoArgumentsGiveAnEmptyArray) {
    HostedApp app;
    LauncherRun run = app.Run();
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    ASSERT_EQ(log.mainCalls.size(), 1u);
    EXPECT_FALSE(log.mainCalls[0].nullArray);
    EXPECT_TRUE(log.mainCalls[0].arguments.empty());
}

TEST(HostingMainInvocation, RuntimesHelperLoadsTheClassByItsDottedName) {
    for (const wchar_t* configured : {L"com.example.App", L"com/example/App"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(configured)));
        HostedApp app(HostedApp::DefaultJvmIni(), IniWithMainClass(configured));
        LauncherRun run = app.Run();
        EXPECT_EQ(run.exitCode, 0);
        TestJvmLog log = app.Log();
        ExpectNoProblems(log);
        EXPECT_EQ(log.bootLoaderNames, std::vector<std::string>{"sun/launcher/LauncherHelper"});
        EXPECT_EQ(log.checkAndLoadMainNames, std::vector<std::wstring>{L"com.example.App"});
        EXPECT_EQ(std::count(log.findClassNames.begin(), log.findClassNames.end(), "com/example/App"), 0);
        EXPECT_EQ(log.mainCalls.size(), 1u);
    }
}

TEST(HostingMainInvocation, WithoutTheBootLoaderExportFindClassGetsTheSlashedName) {
    for (const wchar_t* configured : {L"com.example.App", L"com/example/App"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(configured)));
        HostedApp app(HostedApp::DefaultJvmIni(), IniWithMainClass(configured),
                      TestJvmVariant::kNoFindClassFromBootLoader);
        LauncherRun run = app.Run();
        EXPECT_EQ(run.exitCode, 0);
        TestJvmLog log = app.Log();
        ExpectNoProblems(log);
        EXPECT_TRUE(log.checkAndLoadMainNames.empty());
        EXPECT_EQ(std::count(log.findClassNames.begin(), log.findClassNames.end(), "com/example/App"), 1);
        ASSERT_EQ(log.mainCalls.size(), 1u);
        EXPECT_EQ(log.mainCalls[0].className, "com/example/App");
    }
}

TEST(HostingMainInvocation, HelperWithoutAnAnswerFallsBackToFindClass) {
    HostedApp app(JvmIniWith("check_and_load_main", L"null"));
    TestJvmLog log = app.RunToCleanEnd();
    EXPECT_EQ(log.checkAndLoadMainNames.size(), 1u);
    EXPECT_EQ(std::count(log.findClassNames.begin(), log.findClassNames.end(), "com/example/App"), 1);
    EXPECT_EQ(log.mainCalls.size(), 1u);
}

TEST(HostingMainLookupFailure, MissingClassIsNamedInTheBox) {
    HostedApp app(HostedApp::DefaultJvmIni(), IniWithMainClass(L"com.example.Missing"),
                  TestJvmVariant::kNoFindClassFromBootLoader);
    LauncherRun run = app.Run(
        {}, {ExpectErrorBox(WithRuntimeReport(L"Could not find the main class com/example/Missing.\n",
                                              TestJvmExceptionReport(L"java.lang.NoClassDefFoundError: com/example/Missing")))});
    TestJvmLog log = app.Log();
    ExpectFailedLaunchEnded(run, log);
    EXPECT_EQ(log.describedExceptions, std::vector<std::string>{"java/lang/NoClassDefFoundError"});
}

// The helper prints its error and calls System.exit(1): what it printed is shown, and
// its exit code kept.
TEST(HostingMainLookupFailure, MissingClassThroughTheRuntimesHelperEndsWithItsExitAndItsWords) {
    HostedApp app(HostedApp::DefaultJvmIni(), IniWithMainClass(L"com.example.Missing"));
    LauncherRun run = app.Run({}, {ExpectErrorBox(StoppedBeforeMainBox(
                                      L"Error: Could not find or load main class com.example.Missing\n"
                                      L"Caused by: java.lang.ClassNotFoundException: com.example.Missing"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(app.Log().exitCode, 1);
}

TEST(HostingMainLookupFailure, ClassNameThatCannotBecomeAJavaStringIsReported) {
    HostedApp app(JvmIniWith("fail", L"NewCharArray"), {}, TestJvmVariant::kNoFindClassFromBootLoader);
    LauncherRun run = app.Run({}, {ExpectErrorBox(WithRuntimeReport(
                                      L"Failed to load Main Class: com/example/App.\n",
                                      TestJvmExceptionReport(L"java.lang.OutOfMemoryError: NewCharArray made to fail")))});
    ExpectFailedLaunchEnded(run, app.Log());
}

TEST(HostingMainLookupFailure, ClassWithoutMainHasTheVmsErrorPrinted) {
    // A VM leaves NoSuchMethodError pending for the failed lookup: it is printed
    // instead of the launcher's own "No main method" box.
    HostedApp app(JvmIniWith("main", L"missing"), {}, TestJvmVariant::kNoFindClassFromBootLoader);
    LauncherRun run = app.Run(
        {}, {ExpectErrorBox(StoppedBeforeMainBox(TestJvmExceptionReport(L"java.lang.NoSuchMethodError: main")))});
    TestJvmLog log = app.Log();
    ExpectFailedLaunchEnded(run, log);
    EXPECT_EQ(log.describedExceptions, std::vector<std::string>{"java/lang/NoSuchMethodError"});
}

TEST(HostingMainLookupFailure, ClassNameCharactersUnavailableHaveTheErrorPrinted) {
    HostedApp app(JvmIniWith("fail", L"GetStringUTFChars"), {}, TestJvmVariant::kNoFindClassFromBootLoader);
    LauncherRun run = app.Run({}, {ExpectErrorBox(StoppedBeforeMainBox(
                                      TestJvmExceptionReport(L"java.lang.OutOfMemoryError: GetStringUTFChars made to fail")))});
    TestJvmLog log = app.Log();
    ExpectFailedLaunchEnded(run, log);
    EXPECT_EQ(log.describedExceptions, std::vector<std::string>{"java/lang/OutOfMemoryError"});
}

TEST(HostingMainLookupFailure, ArgumentArrayThatCannotBeMadeHasTheErrorPrinted) {
    HostedApp app(JvmIniWith("fail", L"NewObjectArray"));
    LauncherRun run = app.Run({L"x"}, {ExpectErrorBox(StoppedBeforeMainBox(
                                          TestJvmExceptionReport(L"java.lang.OutOfMemoryError: NewObjectArray made to fail")))});
    TestJvmLog log = app.Log();
    ExpectFailedLaunchEnded(run, log);
    EXPECT_EQ(log.describedExceptions, std::vector<std::string>{"java/lang/OutOfMemoryError"});
}

TEST(HostingMainInvocation, SystemExitStatusBecomesTheExitCode) {
    TestJvmIni jvmIni = JvmIniWith("main", L"exit");
    jvmIni.Set("main_exit_code", L"3");
    HostedApp app(jvmIni);
    LauncherRun run = app.Run();
    EXPECT_EQ(run.exitCode, 3);
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    EXPECT_EQ(log.exitCode, 3);
    EXPECT_TRUE(log.exitHookCalled);  // the launcher's hook ran and returned
    EXPECT_EQ(log.destroyCalls, 0);   // the process ended inside the VM
}

TEST(HostingMainInvocation, ServiceDestroysItsVmOnTheVmThreadAndOnlyThere) {
    HostedIni ini;
    ini.applicationLines = L"Application Type=service\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    TestJvmLog log = app.RunToCleanEnd();
    ASSERT_EQ(log.creations.size(), 1u);
    std::vector<const TestJvmEvent*> destroys = log.EventsNamed("destroy");
    ASSERT_EQ(destroys.size(), 1u);
    EXPECT_EQ(static_cast<unsigned long>(destroys[0]->Number("thread")), log.creations[0].threadId);
}

TEST(HostingMainInvocation, WithAnIbmProviderTheVmThreadStaysUntilJavaEndsTheProcess) {
    for (const wchar_t* provider : {L"ibm", L"FAVOR_IBM"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(provider)));
        TestJvmIni jvmIni = JvmIniWith("background_exit_ms", L"1500");
        jvmIni.Set("background_exit_code", L"7");
        HostedIni ini;
        ini.runtimeLines = std::wstring(L"VM Provider=") + provider + L"\n";
        HostedApp app(jvmIni, ini);
        LauncherRun run = app.Run();
        EXPECT_EQ(run.exitCode, 7);
        TestJvmLog log = app.Log();
        ExpectNoProblems(log);
        EXPECT_EQ(log.mainCalls.size(), 1u);
        EXPECT_TRUE(log.detachedThreads.empty()) << "the VM thread detached after main";
        EXPECT_EQ(log.destroyCalls, 0);
    }
}

TEST(HostingMainInvocation, OrdinaryApplicationsVmIsDestroyedByTeardown) {
    HostedApp app;
    LauncherRun run = app.Run();
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    ASSERT_EQ(log.creations.size(), 1u);
    std::vector<const TestJvmEvent*> destroys = log.EventsNamed("destroy");
    ASSERT_EQ(destroys.size(), 1u);
    EXPECT_NE(static_cast<unsigned long>(destroys[0]->Number("thread")), log.creations[0].threadId);
}

}  // namespace
}  // namespace orvo::test
