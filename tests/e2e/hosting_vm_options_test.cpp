// What the configuration turns into for the VM and for main: the class path with
// relative, wildcard, absolute and environment entries, the launcher itself as an
// embedded archive, VM parameters with quotes, percentages and characters outside
// the ANSI code page, and the Cmd arguments after the command line's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hosting_test_app.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

// The class path option's entries, without the "-Djava.class.path=" prefix; the
// text must end with ";" as every entry does.
std::vector<std::wstring> ClassPathEntries(const std::wstring& option) {
    const std::wstring prefix = L"-Djava.class.path=";
    EXPECT_EQ(option.substr(0, prefix.size()), prefix);
    std::wstring value = option.substr(std::min(prefix.size(), option.size()));
    EXPECT_FALSE(value.empty());
    EXPECT_EQ(value.back(), L';') << "the class path must end with a separator";
    std::vector<std::wstring> entries;
    std::size_t start = 0;
    for (std::size_t end; (end = value.find(L';', start)) != std::wstring::npos; start = end + 1) {
        entries.push_back(value.substr(start, end - start));
    }
    return entries;
}

std::uint64_t PercentOfPhysicalMemoryKiB(double percent) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    EXPECT_TRUE(GlobalMemoryStatusEx(&status));
    return static_cast<std::uint64_t>(static_cast<double>(status.ullTotalPhys >> 10) * (percent / 100.0));
}

TEST(HostingClassPath, RelativeWildcardAbsoluteAndEnvironmentEntries) {
    HostedIni ini;
    ini.classPath = L"app.jar;lib\\*.jar;missing.jar;C:\\absent\\x.jar;%ORVO_CP_TEST%\\y.jar;"
                    L"%ORVO_UNDEFINED_CP%\\z.jar;;";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    app.folder.WriteText(L"app.jar", L"jar");
    app.folder.CreateFolder(L"lib");
    app.folder.WriteText(L"lib\\a.jar", L"jar");
    app.folder.WriteText(L"lib\\b.jar", L"jar");
    app.folder.WriteText(L"lib\\notes.txt", L"not a jar");
    LauncherRun run = app.Run({}, {}, {{L"ORVO_CP_TEST", L"C:\\envdir"}});
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    std::vector<std::wstring> entries = ClassPathEntries(OptionTexts(log).at(0));
    ASSERT_EQ(entries.size(), 5u) << testing::PrintToString(entries);
    EXPECT_EQ(entries[0], app.folder.PathOf(L"app.jar"));
    // The wildcard's matches come in the file system's order.
    std::vector<std::wstring> matches = {entries[1], entries[2]};
    std::sort(matches.begin(), matches.end());
    EXPECT_EQ(matches, (std::vector<std::wstring>{app.folder.PathOf(L"lib\\a.jar"), app.folder.PathOf(L"lib\\b.jar")}));
    EXPECT_EQ(entries[3], L"C:\\absent\\x.jar");  // absolute: kept although missing
    EXPECT_EQ(entries[4], L"C:\\envdir\\y.jar");
}

TEST(HostingClassPath, EmbeddedJarPutsTheLauncherFirst) {
    HostedIni ini;
    ini.classPath = L"";
    ini.applicationLines = L"Embedded Jar=YES\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    LauncherRun run = app.Run();  // no box: the class path is not empty
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(OptionTexts(app.Log()).at(0), L"-Djava.class.path=" + app.launcher + L";");

    ini.classPath = L"app.jar";
    app.WriteIni(ini);
    app.folder.WriteText(L"app.jar", L"jar");
    ASSERT_TRUE(DeleteFileW(app.runtime.logPath().c_str()));
    run = app.Run();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(OptionTexts(app.Log()).at(0),
              L"-Djava.class.path=" + app.launcher + L";" + app.folder.PathOf(L"app.jar") + L";");
}

TEST(HostingVmParameters, TokensAreUnquotedRewrittenAndExpanded) {
    HostedIni ini;
    ini.runtimeLines =
        L"Virtual Machine Parameters=-Xmx10P \"-Dname=a b\"  -xmx50P -Xms10:4096:1024P -Dhome=%ORVO_VM_TEST% "
        L"-Dnone=%ORVO_UNDEFINED_VM%\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    LauncherRun run = app.Run({}, {}, {{L"ORVO_VM_TEST", L"C:\\vm home"}});
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    std::vector<std::wstring> options = OptionTexts(log);
    std::vector<std::wstring> expected = {options.at(0),
                                          L"-Xmx" + std::to_wstring(PercentOfPhysicalMemoryKiB(10)) + L"K",
                                          L"-Dname=a b",
                                          L"-xmx50P",
                                          L"-Xms4194304K",
                                          L"-Dhome=C:\\vm home",
                                          L"-Dnone=%ORVO_UNDEFINED_VM%",
                                          L"abort",
                                          L"exit"};
    EXPECT_EQ(options, expected);
}

TEST(HostingVmParameters, CharactersOutsideTheCodePageBecomeItsDefaultCharacter) {
    HostedIni ini;
    // A fullwidth quotation mark is no quote: it neither groups the blank nor may it
    // turn into a real quotation mark on the way to the VM.
    // Nor may a letter turn into a plain one that merely looks like it (A with macron).
    ini.runtimeLines = L"Virtual Machine Parameters=-Dname=\uFF02a b\uFF02 -Dcity=K\u00F8benhavn -Dletter=\u0100\n";
    // A class path entry that names nothing (not even its folder) is no path to shorten.
    ini.encoding = TextEncoding::kUtf16Bom;
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    ini.classPath = L"C:\\donn\u00E9es\\\u65E5\u672C.jar;" + app.DefaultClassPathEntry();
    app.WriteIni(ini);
    TestJvmLog log = app.RunToCleanEnd();
    ASSERT_EQ(log.creations.size(), 1u);
    const auto& options = log.creations[0].options;
    ASSERT_EQ(options.size(), 7u);
    EXPECT_EQ(options[0].bytes,
              "-Djava.class.path=C:\\donn\xE9" "es\\??.jar;" + Utf8(app.DefaultClassPathEntry()) + ";");
    EXPECT_EQ(options[1].bytes, "-Dname=?a");
    EXPECT_EQ(options[2].bytes, "b?");
    EXPECT_EQ(options[3].bytes, "-Dcity=K\xF8" "benhavn");
    EXPECT_EQ(options[4].bytes, "-Dletter=?");
}

TEST(HostingVmParameters, ValueFromTheContinuationSectionAddsNoEmptyOption) {
    HostedIni ini;
    ini.extraSections = L"[Java Runtime Environment+]\nVirtual Machine Parameters=-Xmx256m\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    LauncherRun run = app.Run();
    EXPECT_EQ(run.exitCode, 0);
    std::vector<std::wstring> options = OptionTexts(app.Log());
    EXPECT_EQ(options, (std::vector<std::wstring>{options.at(0), L"-Xmx256m", L"abort", L"exit"}));
}

TEST(HostingCmd, PiecesFollowTheCommandLineArgumentsAndEmptyOnesAreDropped) {
    HostedIni ini;
    ini.applicationLines = L"Cmd=--mode \"%ORVO_CMD_TEST%\\x y\"  \"\"  last\n";
    HostedApp app(HostedApp::DefaultJvmIni(), ini);
    LauncherRun run = app.Run({L"first", L"-nosplash"}, {}, {{L"ORVO_CMD_TEST", L"C:\\T"}});
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    ASSERT_EQ(log.mainCalls.size(), 1u);
    EXPECT_EQ(log.mainCalls[0].arguments,
              (std::vector<std::wstring>{L"first", L"-nosplash", L"--mode", L"C:\\T\\x y", L"last"}));
    // Cmd pieces are arguments of main, never VM options.
    EXPECT_EQ(OptionTexts(log).size(), 3u);
}

}  // namespace
}  // namespace orvo::test
