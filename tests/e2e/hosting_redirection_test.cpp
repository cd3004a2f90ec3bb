// The Java program's standard output and error in files: truncated or appended,
// folders made on the way, a date-time picture shared by both names, and a target
// that cannot be opened, which leaves its stream where it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "hosting_test_app.h"
#include "support/file_tree.h"

namespace orvo::test {
namespace {

TestJvmIni PrintingJvmIni() {
    return HostedApp::DefaultJvmIni().Set("main_prints", L"to out \u00E9").Set("main_prints_err", L"to err");
}

std::string FileText(const std::wstring& path) { return ReadFileBytes(path).value_or("<missing>"); }

const TestJvmStreamTarget* Target(const TestJvmLog& log, const std::string& stream) {
    for (const TestJvmStreamTarget& target : log.streamTargets) {
        if (target.stream == stream) return &target;
    }
    return nullptr;
}

TEST(HostingRedirection, StreamsGoToTheirFilesInFoldersMadeOnTheWay) {
    HostedApp app(PrintingJvmIni());
    HostedIni ini;
    ini.applicationLines = L"Output File=" + app.folder.PathOf(L"logs\\new\\out.txt") + L"\nError File=" +
                           app.folder.PathOf(L"logs\\err.txt") + L"\n";
    app.WriteIni(ini);
    TestJvmLog log = app.RunToCleanEnd();
    const TestJvmStreamTarget* out = Target(log, "out");
    const TestJvmStreamTarget* err = Target(log, "err");
    ASSERT_TRUE(out && err);
    EXPECT_EQ(out->kind, "file");
    EXPECT_EQ(out->path, app.folder.PathOf(L"logs\\new\\out.txt"));
    EXPECT_FALSE(out->append);
    EXPECT_EQ(err->path, app.folder.PathOf(L"logs\\err.txt"));
    EXPECT_EQ(FileText(app.folder.PathOf(L"logs\\new\\out.txt")), "to out \xC3\xA9\r\n");
    EXPECT_EQ(FileText(app.folder.PathOf(L"logs\\err.txt")), "to err\r\n");
}

TEST(HostingRedirection, OnlyLowerCaseYesAppends) {
    HostedApp app(PrintingJvmIni());
    app.folder.WriteText(L"out.txt", L"earlier out\n");
    app.folder.WriteText(L"err.txt", L"earlier err\n");
    HostedIni ini;
    ini.applicationLines = L"Output File=" + app.folder.PathOf(L"out.txt") + L"\nOutput Append=yes\nError File=" +
                           app.folder.PathOf(L"err.txt") + L"\nError Append=Yes\n";
    app.WriteIni(ini);
    LauncherRun run = app.Run();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(FileText(app.folder.PathOf(L"out.txt")), "earlier out\r\nto out \xC3\xA9\r\n");
    EXPECT_EQ(FileText(app.folder.PathOf(L"err.txt")), "to err\r\n");
}

TEST(HostingRedirection, DateTimePictureGivesBothFilesOneTimeStamp) {
    HostedApp app(PrintingJvmIni());
    HostedIni ini;
    ini.applicationLines = L"Output File=" + app.folder.PathOf(L"out_%yyyyMMdd_HHmmss_L%.log") +
                           L"\nError File=" + app.folder.PathOf(L"err_%yyyyMMdd_HHmmss_L%.log") + L"\n";
    app.WriteIni(ini);
    SYSTEMTIME before;
    GetLocalTime(&before);
    LauncherRun run = app.Run();
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    const TestJvmStreamTarget* out = Target(log, "out");
    const TestJvmStreamTarget* err = Target(log, "err");
    ASSERT_TRUE(out && err);
    std::wregex stamped(L".*\\\\(out|err)_(\\d{8})_(\\d{6})_(\\d{1,3})\\.log");
    std::wsmatch outMatch, errMatch;
    ASSERT_TRUE(std::regex_match(out->path, outMatch, stamped)) << testing::PrintToString(out->path);
    ASSERT_TRUE(std::regex_match(err->path, errMatch, stamped)) << testing::PrintToString(err->path);
    for (int part = 2; part <= 4; ++part) EXPECT_EQ(outMatch[part].str(), errMatch[part].str()) << part;
    wchar_t today[16];
    swprintf(today, 16, L"%04u%02u%02u", before.wYear, before.wMonth, before.wDay);
    EXPECT_EQ(outMatch[2].str(), today);  // a run that straddles midnight would fail here
    // Milliseconds without leading zeros.
    EXPECT_TRUE(outMatch[4].length() == 1 || outMatch[4].str()[0] != L'0') << testing::PrintToString(out->path);
    EXPECT_EQ(FileText(out->path), "to out \xC3\xA9\r\n");
    EXPECT_EQ(FileText(err->path), "to err\r\n");
}

TEST(HostingRedirection, TargetThatCannotBeOpenedLeavesItsStreamAndTheProgramRuns) {
    HostedApp app(PrintingJvmIni());
    app.folder.WriteText(L"blocker", L"a file where a folder would have to be");
    HostedIni ini;
    ini.applicationLines = L"Output File=" + app.folder.PathOf(L"blocker\\out.txt") + L"\nError File=" +
                           app.folder.PathOf(L"err.txt") + L"\n";
    app.WriteIni(ini);
    TestJvmLog log = app.RunToCleanEnd();
    EXPECT_EQ(log.describedExceptions, std::vector<std::string>{"java/io/FileNotFoundException"});
    EXPECT_EQ(Target(log, "out"), nullptr);
    ASSERT_NE(Target(log, "err"), nullptr);  // the other stream is still redirected
    ASSERT_EQ(log.mainCalls.size(), 1u);
    std::vector<const TestJvmEvent*> prints = log.EventsNamed("print");
    ASSERT_FALSE(prints.empty());
    bool printedToProcess = false;
    for (const TestJvmEvent* print : prints) {
        if (print->Bytes("stream") == "out") printedToProcess = print->Bytes("target") == "process";
    }
    EXPECT_TRUE(printedToProcess) << "standard output should have stayed the process's own";
    EXPECT_EQ(FileText(app.folder.PathOf(L"err.txt")), "to err\r\n");
}

}  // namespace
}  // namespace orvo::test
