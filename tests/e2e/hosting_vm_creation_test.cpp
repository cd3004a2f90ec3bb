// Loading the JVM library and creating the VM, seen from the test JVM: the init
// arguments and their option array, each creation failure's box, libraries that are
// broken or lack an entry point, and the stack of the thread that runs the VM.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hosting_test_app.h"
#include "support/file_tree.h"
#include "support/process_inspection.h"
#include "support/test_environment.h"

namespace orvo::test {
namespace {

std::wstring OldSearchPath() {
    wchar_t buffer[32767] = {};
    DWORD length = GetEnvironmentVariableW(L"Path", buffer, 32767);
    return std::wstring(buffer, length);
}

// SizeOfStackReserve of an executable file: the main thread's stack.
unsigned long long StackReserveOf(const std::wstring& executable) {
    std::optional<std::string> bytes = ReadFileBytes(executable);
    if (!bytes || bytes->size() < 0x40) return 0;
    auto read32 = [&](std::size_t at) {
        unsigned long long value = 0;
        for (int i = 3; i >= 0; --i) value = value * 256 + static_cast<unsigned char>((*bytes)[at + i]);
        return value;
    };
    std::size_t optionalHeader = static_cast<std::size_t>(read32(0x3C)) + 24;
    bool pe32Plus = read32(optionalHeader) % 0x10000 == 0x20B;
    unsigned long long low = read32(optionalHeader + 72);
    return pe32Plus ? low + (read32(optionalHeader + 76) << 32) : low;
}

std::wstring CreationBox(const std::wstring& reason) {
    return L"JNI exception: failed to create the Java VM\nReason: " + reason + L".\n";
}

TEST(HostingVmCreation, OptionArrayHoldsTheListThenTheAbortAndExitHooks) {
    HostedIni ini;
    ini.runtimeLines = L"Library Path=native\nVirtual Machine Parameters=-Xmx64m \"-Dname=a b\"\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    TestJvmLog log = app.RunToCleanEnd();
    ASSERT_EQ(log.creations.size(), 1u);
    const TestJvmCreation& creation = log.creations[0];
    EXPECT_EQ(creation.version, 0x10002u);
    EXPECT_FALSE(creation.ignoreUnrecognized);
    std::wstring libraryPath = L"native;" + app.folder.path() + L"\\;.;" + OldSearchPath() + L";" +
                               app.runtime.home() + L"\\lib";
    std::vector<std::wstring> expected = {L"-Djava.library.path=" + libraryPath,
                                          L"-Djava.class.path=" + app.DefaultClassPathEntry() + L";", L"-Xmx64m",
                                          L"-Dname=a b", L"abort", L"exit"};
    EXPECT_EQ(OptionTexts(log), expected);
    EXPECT_EQ(creation.nOptions, 6);
    ASSERT_EQ(creation.options.size(), 6u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_FALSE(creation.options[i].hasExtraInfo) << i;
    EXPECT_TRUE(creation.options[4].hasExtraInfo);
    EXPECT_TRUE(creation.options[5].hasExtraInfo);
    EXPECT_EQ(creation.result, 0);
    // main returned: the VM thread detached, and teardown destroyed the VM once.
    EXPECT_EQ(log.mainCalls.size(), 1u);
    EXPECT_EQ(log.detachedThreads.size(), 1u);
    EXPECT_EQ(log.destroyCalls, 1);
    EXPECT_EQ(log.destroyEnds, 1);
}

TEST(HostingVmCreation, EmptyClassPathIsReportedAndTheVmGetsOnlyTheHooks) {
    HostedIni ini;
    ini.classPath = L"";
    ini.runtimeLines = L"Virtual Machine Parameters=-Xmx64m\n";
    ini.applicationLines = L"Cmd=extra\nOutput File=out.txt\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    LauncherRun run = app.Run({L"given"}, {ExpectErrorBox(L"Java Class Path was not specified in INI file.")});
    EXPECT_EQ(run.exitCode, 0);  // the launch goes on, and this runtime finds the class anyway
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    EXPECT_EQ(OptionTexts(log), (std::vector<std::wstring>{L"abort", L"exit"}));
    ASSERT_EQ(log.mainCalls.size(), 1u);
    EXPECT_EQ(log.mainCalls[0].arguments, std::vector<std::wstring>{L"given"});  // no Cmd
    EXPECT_TRUE(log.streamTargets.empty());  // no Output File
}

TEST(HostingVmCreation, EachFailedCreationResultIsNamedInTheBox) {
    struct Case {
        int result;
        std::wstring reason;
    };
    // Every result's reason is in the string-table unit tests; here a reason and none.
    const Case cases[] = {{-1, L"unknown"}, {-6, L"invalid arguments"}, {1, L""}};
    for (const Case& c : cases) {
        SCOPED_TRACE("JNI_CreateJavaVM result " + std::to_string(c.result));
        TestJvmIni jvmIni = HostedApp::DefaultJvmIni();
        jvmIni.Set("create_result", std::to_wstring(c.result));
        HostedApp app(jvmIni);
        LauncherRun run = app.Run({}, {ExpectErrorBox(CreationBox(c.reason))});
        EXPECT_EQ(run.exitCode, -1);
        TestJvmLog log = app.Log();
        EXPECT_TRUE(log.mainCalls.empty());
        EXPECT_EQ(log.destroyCalls, 0);  // nothing was created, so nothing is destroyed
    }
}

// The VM names the option on standard error; with nobody reading it, the box shows it.
TEST(HostingVmCreation, OptionTheVmDoesNotRecogniseStopsTheLaunchWithTheVmsWords) {
    HostedIni ini;
    ini.runtimeLines = L"Virtual Machine Parameters=-Xmx64m -Xorvo-unknown\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    LauncherRun run = app.Run(
        {}, {ExpectErrorBox(WithRuntimeReport(CreationBox(L"unknown"), L"Unrecognized option: -Xorvo-unknown"),
                            L"unrecognised-option")});
    EXPECT_EQ(run.exitCode, -1);
    TestJvmLog log = app.Log();
    ASSERT_EQ(log.EventsNamed("reject").size(), 1u);
    EXPECT_EQ(log.EventsNamed("reject")[0]->Bytes("option"), "-Xorvo-unknown");
}

TEST(HostingVmCreation, LibraryWithoutEitherInvocationEntryPointIsRejectedAlike) {
    for (TestJvmVariant variant : {TestJvmVariant::kNoCreateJavaVM, TestJvmVariant::kNoDefaultInitArgs}) {
        SCOPED_TRACE(variant == TestJvmVariant::kNoCreateJavaVM ? "no JNI_CreateJavaVM" : "no JNI_GetDefaultJavaVMInitArgs");
        HostedApp app(HostedApp::DefaultJvmIni(), {}, variant);
        LauncherRun run =
            app.Run({}, {ExpectErrorBox(L"Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n")});
        EXPECT_EQ(run.exitCode, -1);
        EXPECT_TRUE(app.Log().creations.empty());
    }
}

TEST(HostingVmCreation, LibraryThatIsNoDllIsNamedWithTheSystemError) {
    HostedApp app;
    WriteFileBytes(app.runtime.jvmPath(), std::string(4096, 'x'));
    LauncherRun run = app.Run(
        {}, {ExpectErrorBox(L"Failed to load Java VM library: " + app.runtime.jvmPath() + L" (errno = 193).\n")});
    EXPECT_EQ(run.exitCode, -1);
}

// A start that shows nothing before the VM loads none of the windowing libraries
// before it: the process is looked at while JNI_CreateJavaVM waits.
TEST(HostingVmCreation, NoWindowingLibraryIsLoadedBeforeTheVm) {
    HostedApp app(HostedApp::DefaultJvmIni().Set("create_wait_file", L"go.txt"));
    RunOptions options;
    options.environment = {{L"JAVA_HOME", std::nullopt}};
    LauncherSession session(app.launcher, {}, options);
    const bool creating =
        session.WaitUntil([&](const LauncherRun&) { return !app.Log().creations.empty(); }, kDefaultRunTimeoutMs);
    const std::vector<DWORD> live = session.LiveProcessIds();
    ASSERT_TRUE(creating && !live.empty());
    const std::vector<std::wstring> modules = LoadedModuleNames(live.front());
    WriteFileBytes(app.runtime.binFolder() + L"\\server\\go.txt", "go");
    EXPECT_EQ(session.Finish().exitCode, 0);
    EXPECT_NE(std::find(modules.begin(), modules.end(), L"jvm.dll"), modules.end());
    EXPECT_EQ(WindowingLibraries(modules), std::vector<std::wstring>{});
}

TEST(HostingVmThread, WithoutXssTheStackIsTheSizeTheVmReports) {
    TestJvmIni jvmIni = HostedApp::DefaultJvmIni();
    jvmIni.Set("java_stack_size", L"8388608");
    HostedApp app(jvmIni);
    TestJvmLog log = app.RunToCleanEnd();
    EXPECT_EQ(log.defaultArgsVersion, 0x10001u);
    EXPECT_TRUE(log.defaultArgsZeroed);
    ASSERT_EQ(log.creations.size(), 1u);
    EXPECT_GE(log.creations[0].stackReserve, 8388608u);
    EXPECT_LT(log.creations[0].stackReserve, 8388608u + 1048576u);
}

TEST(HostingVmThread, XssSetsTheStackAndIsPassedOn) {
    HostedIni ini;
    ini.runtimeLines = L"Virtual Machine Parameters=-Xss16m\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    TestJvmLog log = app.RunToCleanEnd();
    EXPECT_FALSE(log.defaultArgsVersion.has_value()) << "the default stack size was asked for";
    ASSERT_EQ(log.creations.size(), 1u);
    EXPECT_GE(log.creations[0].stackReserve, 16u << 20);
    EXPECT_LT(log.creations[0].stackReserve, 17u << 20);
    EXPECT_EQ(OptionTexts(log).at(1), L"-Xss16m");
}

TEST(HostingVmThread, NoSizeFromVmOrXssGivesTheExecutablesDefault) {
    TestJvmIni jvmIni = HostedApp::DefaultJvmIni();
    jvmIni.Set("java_stack_size", L"0");
    HostedApp app(jvmIni);
    LauncherRun run = app.Run();
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    ASSERT_EQ(log.creations.size(), 1u);
    ASSERT_EQ(log.mainCalls.size(), 1u);
    EXPECT_EQ(log.creations[0].stackReserve, StackReserveOf(app.launcher));
    EXPECT_EQ(log.mainCalls[0].threadId, log.creations[0].threadId);
}

// A 32-bit process cannot have 4 GiB less 1 MiB committed for a stack, so CreateThread
// fails and the VM runs on the launching thread. A 64-bit process under wine gets
// such a stack, so there the test shows the VM thread was given it.
TEST(HostingVmThread, HugeXssRunsTheVmOnTheLaunchingThreadWhenTheSystemRefusesIt) {
    HostedIni ini;
    ini.runtimeLines = L"Virtual Machine Parameters=-Xss4095m\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    TestJvmLog log = app.RunToCleanEnd();
    ASSERT_EQ(log.creations.size(), 1u);
    ASSERT_EQ(log.mainCalls.size(), 1u);
    EXPECT_EQ(log.mainCalls[0].threadId, log.creations[0].threadId);
    EXPECT_EQ(log.destroyCalls, 1);
    if (TestArchitecture() == L"i686") {
        // The launching (main) thread has the executable's own stack.
        EXPECT_EQ(log.creations[0].stackReserve, StackReserveOf(app.launcher));
    } else {
        EXPECT_GE(log.creations[0].stackReserve, 4095ull << 20);
    }
}

}  // namespace
}  // namespace orvo::test
