#include "foundation/command_line.h"

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

// The Windows C runtime's rules, as Python's subprocess.list2cmdline, .NET and Java's
// ProcessBuilder quote for them. Q is a double quote, B a backslash.
TEST(ArgumentsFromCommandLineWindows, FollowsTheCRuntimeRules) {
    struct Case {
        const wchar_t* commandLine;
        Args expected;
    };
    const Case cases[] = {
        // blanks and tabs separate outside quotes, runs of them too
        {L"run.exe a \t b\t\tc", {L"a", L"b", L"c"}},
        {L"run.exe \"a \t b\"", {L"a \t b"}},
        // 2n backslashes + quote: n backslashes, the quote groups
        {L"run.exe \"C:\\Folder\\\\\" next", {L"C:\\Folder\\", L"next"}},
        {L"run.exe a\\\\\\\\\"b c\"", {L"a\\\\b c"}},
        // 2n+1 backslashes + quote: n backslashes and a literal quote
        {L"run.exe \"say \\\"hi\\\"\"", {L"say \"hi\""}},
        {L"run.exe a\\\\\\\"b", {L"a\\\"b"}},
        {L"run.exe \\\"", {L"\""}},
        // backslashes not before a quote are literal
        {L"run.exe C:\\a\\\\b\\ \\\\", {L"C:\\a\\\\b\\", L"\\\\"}},
        // "" inside a quoted part: a literal quote, the part goes on
        {L"run.exe \"a\"\"b c\"", {L"a\"b c"}},
        {L"run.exe \"a\"\"\"", {L"a\""}},
        // "" outside a quoted part: an empty piece of the argument
        {L"run.exe \"\" x\"\"y", {L"", L"xy"}},
        // quotes inside a piece group too, and join with what surrounds them
        {L"run.exe pre\"fix x\"post", {L"prefix xpost"}},
        // an unclosed quote runs to the end, blanks and all
        {L"run.exe \"a b  ", {L"a b  "}},
        // line ends are no separators
        {L"run.exe a\r\nb", {L"a\r\nb"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command line: " << c.commandLine);
        EXPECT_EQ(ArgumentsFromCommandLineWindows(c.commandLine), c.expected);
    }
}

TEST(ArgumentsFromCommandLineWindows, ProgramNameHasNoEscapes) {
    struct Case {
        const wchar_t* commandLine;
        Args expected;
    };
    const Case cases[] = {
        // a backslash before the closing quote of the program name does not escape it
        {L"\"C:\\My App\\\" a", {L"a"}},
        {L"\"C:\\My App\\run.exe\"x y", {L"y"}},
        {L"C:\\A\"p p\"\\run.exe\ta", {L"a"}},
        {L"run.exe", {}},
        {L"\"C:\\My App\\run.exe", {}},
        {L"", {}},
        // leading blanks: an empty program name, then the arguments
        {L"  run.exe a", {L"run.exe", L"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command line: " << c.commandLine);
        EXPECT_EQ(ArgumentsFromCommandLineWindows(c.commandLine), c.expected);
    }
    EXPECT_TRUE(ArgumentsFromCommandLineWindows(nullptr).empty());
}

TEST(ArgumentsFromCommandLineWindows, ReadsWhatTheLaunchersOwnRuleCannotCarry) {
    // The same command line, read by the two rules.
    const wchar_t* commandLine = L"run.exe \"say \\\"hi\\\"\"";
    EXPECT_EQ(ArgumentsFromCommandLine(commandLine), (Args{L"say \\", L"hi\\\"\""}));
    EXPECT_EQ(ArgumentsFromCommandLineWindows(commandLine), (Args{L"say \"hi\""}));
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
