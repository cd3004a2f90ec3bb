// The environment the JVM library and the Java program find: the runtime's path and
// home, the search path with the runtime's bin folder (after a configured system
// path), and the native library path option.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosting_test_app.h"
#include "support/file_tree.h"
#include "support/test_drive.h"

namespace orvo::test {
namespace {

constexpr wchar_t kOldPath[] = L"C:\\windows\\system32;C:\\windows;C:\\orvo-old-path";

TestJvmLog RunWithOldPath(const HostedApp& app) {
    LauncherRun run = app.Run({}, {}, {{L"Path", kOldPath}, {L"ORVO_NATIVE_DIR", L"D:\\native"}});
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    EXPECT_EQ(log.creations.size(), 1u);
    return log;
}

std::wstring EnvironmentAtCreation(const TestJvmLog& log, const std::string& name) {
    if (log.creations.empty()) return L"<no creation>";
    auto found = log.creations[0].environment.find(name);
    return found == log.creations[0].environment.end() ? L"<not set>" : found->second;
}

TEST(HostingEnvironment, RuntimePathHomeAndBinFolderOnTheSearchPath) {
    HostedApp app;
    TestJvmLog log = RunWithOldPath(app);
    EXPECT_EQ(EnvironmentAtCreation(log, "ORVO_JVM_PATH"), app.runtime.jvmPath());
    EXPECT_EQ(EnvironmentAtCreation(log, "ORVO_JVM_HOME"), app.runtime.home());
    EXPECT_EQ(EnvironmentAtCreation(log, "Path"), std::wstring(kOldPath) + L";" + app.runtime.binFolder());
    // No Library Path: the VM chooses its own native library path.
    for (const std::wstring& option : OptionTexts(log)) {
        EXPECT_EQ(option.find(L"-Djava.library.path="), std::wstring::npos) << testing::PrintToString(option);
    }
}

TEST(HostingEnvironment, SystemPathGoesBeforeTheOldSearchPath) {
    for (const wchar_t* systemPath : {L"C:\\tools", L"C:\\tools;"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(systemPath)));
        HostedIni ini;
        ini.runtimeLines = std::wstring(L"System Path=") + systemPath + L"\n";
        HostedApp app(HostedApp::DefaultJvmIni(), ini);
        TestJvmLog log = RunWithOldPath(app);
        EXPECT_EQ(EnvironmentAtCreation(log, "Path"),
                  std::wstring(L"C:\\tools;") + kOldPath + L";" + app.runtime.binFolder());
    }
}

TEST(HostingEnvironment, LibraryPathIsTheFirstOptionAndUsesTheOldSearchPath) {
    HostedIni ini;
    ini.runtimeLines = L"Library Path=%ORVO_NATIVE_DIR%;lib\\native\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    TestJvmLog log = RunWithOldPath(app);
    std::vector<std::wstring> options = OptionTexts(log);
    ASSERT_FALSE(options.empty());
    EXPECT_EQ(options[0], L"-Djava.library.path=D:\\native;lib\\native;" + app.folder.path() + L"\\;.;" + kOldPath +
                              L";" + app.runtime.home() + L"\\lib");
}

// "Override WorkingDir" makes the launcher's folder the working directory, also when
// that folder is the root of a drive, where "R:" alone would name the drive's
// current folder instead of its root.
TEST(HostingEnvironment, OverrideWorkingDirMovesToTheLauncherFolderAlsoAtADriveRoot) {
    struct Case {
        const wchar_t* name;
        const wchar_t* launcherFolder;  // on the test drive, "" for its root
    };
    for (const Case& c : {Case{L"drive root", L""}, Case{L"folder", L"app\\"}}) {
        SCOPED_TRACE(testing::Message() << c.name);
        HostedIni ini;
        ini.applicationLines = L"Override WorkingDir=yes\n";
        HostedApp app(HostedApp::DefaultJvmIni(), ini);
        TestDrive drive;
        const std::wstring folder = drive.root() + c.launcherFolder;
        CreateFolderTree(drive.root() + L"elsewhere");
        if (!std::wstring_view(c.launcherFolder).empty()) CreateFolderTree(folder);
        CopyFileTo(app.launcher, folder + L"App.exe");
        CopyFileTo(app.folder.PathOf(L"App.ini"), folder + L"App.ini");
        RunOptions options;
        options.workingDirectory = drive.root() + L"elsewhere";
        options.environment = {{L"JAVA_HOME", std::nullopt}};
        LauncherRun run = RunLauncher(folder + L"App.exe", {}, options);
        EXPECT_EQ(run.exitCode, 0);
        TestJvmLog log = app.Log();
        ExpectNoProblems(log);
        ASSERT_EQ(log.creations.size(), 1u);
        const std::wstring expected = c.launcherFolder[0] ? folder.substr(0, folder.size() - 1) : folder;
        EXPECT_EQ(log.creations[0].currentDirectory, expected);
    }
}

}  // namespace
}  // namespace orvo::test
