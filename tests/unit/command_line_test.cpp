#include "core/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvo {
namespace {

using Args = std::vector<std::wstring>;

Args Split(std::wstring_view text) {
    Args list;
    SplitCommandLine(text, list);
    return list;
}

TEST(ArgumentsFromCommandLine, RunsOfBlanksSeparateAndQuotedProgramPathIsDropped) {
    EXPECT_EQ(ArgumentsFromCommandLine(L"\"C:\\Apps\\My App\\run.exe\"  a   b"), (Args{L"a", L"b"}));
}

TEST(ArgumentsFromCommandLine, QuoteAtPieceStartGroupsUntilNextQuote) {
    EXPECT_EQ(ArgumentsFromCommandLine(L"run.exe \"a b\" z"), (Args{L"a b", L"z"}));
    EXPECT_EQ(ArgumentsFromCommandLine(L"run.exe \"x\"y"), (Args{L"x", L"y"}));
}

TEST(ArgumentsFromCommandLine, QuoteInsideAPieceIsOrdinary) {
    EXPECT_EQ(ArgumentsFromCommandLine(L"run.exe a\"b c\""), (Args{L"a\"b", L"c\""}));
}

TEST(ArgumentsFromCommandLine, UnterminatedAndEmptyQuotes) {
    EXPECT_EQ(ArgumentsFromCommandLine(L"run.exe \"a b"), (Args{L"a b"}));
    EXPECT_EQ(ArgumentsFromCommandLine(L"run.exe \"\""), (Args{L""}));
    EXPECT_EQ(ArgumentsFromCommandLine(L"run.exe \""), (Args{L""}));
    EXPECT_EQ(ArgumentsFromCommandLine(L"run.exe \"\" \"\" x"), (Args{L"", L"", L"x"}));
}

TEST(ArgumentsFromCommandLine, BackslashIsNotAnEscape) {
    EXPECT_EQ(ArgumentsFromCommandLine(L"run.exe \"a\\\"b\""), (Args{L"a\\", L"b\""}));
}

TEST(ArgumentsFromCommandLine, TabsSeparateNothingButAreTrimmedAtTheEnds) {
    EXPECT_EQ(ArgumentsFromCommandLine(L"\t run.exe a\tb \t\r\n"), (Args{L"a\tb"}));
    EXPECT_EQ(ArgumentsFromCommandLine(L"run.exe \"x\t\"\t"), (Args{L"x\t"}));
}

TEST(ArgumentsFromCommandLine, ProgramAloneOrNothingGivesNoArguments) {
    EXPECT_TRUE(ArgumentsFromCommandLine(L"run.exe").empty());
    EXPECT_TRUE(ArgumentsFromCommandLine(L"\"C:\\My App\\run.exe\"   ").empty());
    EXPECT_TRUE(ArgumentsFromCommandLine(L"  \t ").empty());
    EXPECT_TRUE(ArgumentsFromCommandLine(nullptr).empty());
}

TEST(SplitCommandLine, AppendsToWhatTheListHolds) {
    Args list{L"first"};
    SplitCommandLine(L"a b", list);
    SplitCommandLine(L"", list);
    EXPECT_EQ(list, (Args{L"first", L"a", L"b"}));
}

TEST(SplitCommandLine, LeadingBlankGivesAnEmptyPiece) {
    EXPECT_EQ(Split(L" a"), (Args{L"", L"a"}));
    EXPECT_EQ(Split(L"a  "), (Args{L"a"}));
}

TEST(TrimCommandLine, RemovesWhiteSpaceOnlyAtTheEnds) {
    EXPECT_EQ(TrimCommandLine(L"\r\n\t a b \v\f"), L"a b");
    EXPECT_EQ(TrimCommandLine(L" \t "), L"");
}

TEST(HasNoSplashSwitch, MatchesWholeEntriesCaseSensitively) {
    EXPECT_TRUE(HasNoSplashSwitch({L"file.txt", L"-nosplash"}));
    EXPECT_TRUE(HasNoSplashSwitch({L"/nosplash"}));
    EXPECT_FALSE(HasNoSplashSwitch({L"-NoSplash", L"/NOSPLASH"}));
    EXPECT_FALSE(HasNoSplashSwitch({L"-nosplash2", L" -nosplash", L"--nosplash"}));
    EXPECT_FALSE(HasNoSplashSwitch({}));
}

TEST(SplitCmdSetting, KeepsQuotedBlanksAndDropsEmptyPieces) {
    EXPECT_EQ(SplitCmdSetting(L"--mode \"C:\\T\\x y\""), (Args{L"--mode", L"C:\\T\\x y"}));
    EXPECT_EQ(SplitCmdSetting(L"a  \"\"  b"), (Args{L"a", L"b"}));
    EXPECT_EQ(SplitCmdSetting(L" a"), (Args{L"a"}));
    EXPECT_TRUE(SplitCmdSetting(L"").empty());
}

}  // namespace
}  // namespace orvo
