#include "hosting/vm_parameters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvo {
namespace {

using Tokens = std::vector<std::wstring>;

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
const MemoryFigures kThreeGiB{3 * kGiB, 2 * kGiB};

TEST(TokenizeVmParameters, BlanksSeparateOutsideQuotes) {
    EXPECT_EQ(TokenizeVmParameters(L"-Xmx512m -Dname=\"a b\""), (Tokens{L"-Xmx512m", L"-Dname=\"a b\""}));
    EXPECT_EQ(TokenizeVmParameters(L"a   b   "), (Tokens{L"a", L"b"}));
    EXPECT_TRUE(TokenizeVmParameters(L"").empty());
}

TEST(TokenizeVmParameters, LeadingBlankGivesAnEmptyFirstToken) {
    EXPECT_EQ(TokenizeVmParameters(L"  -Xmx1g"), (Tokens{L"", L"-Xmx1g"}));
}

TEST(TokenizeVmParameters, QuoteAfterClosingQuoteBelongsToTheSection) {
    // The section is "a b"" and ends there: the next blank separates.
    EXPECT_EQ(TokenizeVmParameters(L"-D\"a b\"\" c"), (Tokens{L"-D\"a b\"\"", L"c"}));
    // After "a"" the quote before the end opens an unclosed section that swallows the rest.
    EXPECT_EQ(TokenizeVmParameters(L"-D\"a\"\"b\" -Xmx1g"), (Tokens{L"-D\"a\"\"b\" -Xmx1g"}));
    EXPECT_EQ(TokenizeVmParameters(L"-D\"x y -Xss1m"), (Tokens{L"-D\"x y -Xss1m"}));
}

TEST(UnquoteVmParameter, SectionsLoseTheirQuotes) {
    EXPECT_EQ(UnquoteVmParameter(L"-Dname=\"a b\""), L"-Dname=a b");
    EXPECT_EQ(UnquoteVmParameter(L"\"-Da\"=\"b\""), L"-Da=b");
    EXPECT_EQ(UnquoteVmParameter(L"-D\"\""), L"-D");
    EXPECT_EQ(UnquoteVmParameter(L"plain"), L"plain");
}

TEST(UnquoteVmParameter, DoubledClosingQuoteLeavesOneLiteralQuote) {
    EXPECT_EQ(UnquoteVmParameter(L"-D\"a\"\"b\""), L"-Da\"b");
    EXPECT_EQ(UnquoteVmParameter(L"-D\"a b\"\""), L"-Da b\"");
    EXPECT_EQ(UnquoteVmParameter(L"-D\"a\"\"\"b\""), L"-Da\"b");
}

TEST(UnquoteVmParameter, UnclosedSectionLosesItsOpeningQuote) {
    EXPECT_EQ(UnquoteVmParameter(L"-D\"x y"), L"-Dx y");
    EXPECT_EQ(UnquoteVmParameter(L"\""), L"");
}

TEST(RewriteMemoryParameter, PercentOfPhysicalMemoryWithinMinAndMax) {
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx50:256:1024P", kThreeGiB), L"-Xmx1048576K");
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx10P", kThreeGiB), L"-Xmx314572K");
    EXPECT_EQ(RewriteMemoryParameter(L"-Xms10:2048p", kThreeGiB), L"-Xms2097152K");
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx50::1024P", kThreeGiB), L"-Xmx1048576K");
}

TEST(RewriteMemoryParameter, MinimumWinsOverMaximum) {
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx10:4096:1024P", kThreeGiB), L"-Xmx4194304K");
}

TEST(RewriteMemoryParameter, LetterTUsesFreeVirtualMemory) {
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx25T", kThreeGiB), L"-Xmx524288K");
    EXPECT_EQ(RewriteMemoryParameter(L"-Xss1t", kThreeGiB), L"-Xss20971K");
}

TEST(RewriteMemoryParameter, PrefixIsTheTextBeforeTheFirstNumber) {
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx=50P", kThreeGiB), L"-Xmx=1572864K");
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx:256P", kThreeGiB), L"-Xmx262144K");
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx5x0P", kThreeGiB), L"-Xmx1572864K");
}

TEST(RewriteMemoryParameter, OtherTokensStayUnchanged) {
    for (const wchar_t* token : {L"-xmx50P", L"-XMX50P", L"-Xmx512m", L"-Xmx50", L"-XmxP", L"-Xmn50P",
                                 L"-Dp=50P", L"P", L""}) {
        EXPECT_EQ(RewriteMemoryParameter(token, kThreeGiB), token);
    }
}

TEST(RewriteMemoryParameter, HugeSizesPrintAsUnsigned64BitNumbers) {
    const MemoryFigures big{std::uint64_t{8} << 40, 0};  // 8 TiB
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx50P", big), L"-Xmx4294967296K");
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx1:99999999999999999999999P", kThreeGiB),
              L"-Xmx18446744073709551615K");
    EXPECT_EQ(RewriteMemoryParameter(L"-Xmx99999999999999999999999P", big), L"-Xmx18446744073709551615K");
}

TEST(ParseThreadStackSize, UnitFromTheLastLetter) {
    EXPECT_EQ(ParseThreadStackSize(L"-Xss1m"), 1048576u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xss512K"), 524288u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xss1G"), 1073741824u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xss65536"), 65536u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xss2x"), 2u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xss1_0k"), 10240u);
}

TEST(ParseThreadStackSize, MalformedOrOversizedGivesZero) {
    EXPECT_EQ(ParseThreadStackSize(L"-Xss2:3m"), 0u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xss"), 0u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xssm1"), 0u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xss4g"), 0u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xss4294967295"), 4294967295u);
    EXPECT_EQ(ParseThreadStackSize(L"-Xss4294967296"), 0u);
}

TEST(ParseThreadStackSize, OnlyForXssTokens) {
    EXPECT_EQ(ParseThreadStackSize(L"-Xmx1m"), std::nullopt);
    EXPECT_EQ(ParseThreadStackSize(L"-xss1m"), std::nullopt);
    EXPECT_EQ(ParseThreadStackSize(L""), std::nullopt);
}

TEST(ProcessVmParameters, UnquotesRewritesAndKeepsEveryToken) {
    std::optional<std::uint32_t> stack;
    EXPECT_EQ(ProcessVmParameters(L"-Xmx512m -Dname=\"a b\" -xmx50P", kThreeGiB, stack),
              (Tokens{L"-Xmx512m", L"-Dname=a b", L"-xmx50P"}));
    EXPECT_EQ(stack, std::nullopt);
}

TEST(ProcessVmParameters, LastXssSetsTheStackSizeAndReachesTheVm) {
    std::optional<std::uint32_t> stack;
    EXPECT_EQ(ProcessVmParameters(L"-Xss1m \"-Xss2:3m\" -Xmx1g", kThreeGiB, stack),
              (Tokens{L"-Xss1m", L"-Xss2:3m", L"-Xmx1g"}));
    EXPECT_EQ(stack, 0u);
    ProcessVmParameters(L"-Xss2:3m -Xss1m", kThreeGiB, stack);
    EXPECT_EQ(stack, 1048576u);
}

TEST(ProcessVmParameters, RewrittenXssIsReadInKiB) {
    std::optional<std::uint32_t> stack;
    EXPECT_EQ(ProcessVmParameters(L"-Xss1:2P", kThreeGiB, stack), (Tokens{L"-Xss31457K"}));
    EXPECT_EQ(stack, 31457u * 1024u);
}

TEST(ProcessVmParameters, EmptyTokensAreDropped) {
    std::optional<std::uint32_t> stack;
    EXPECT_EQ(ProcessVmParameters(L" -Xmx1g \"\" -Da", kThreeGiB, stack), (Tokens{L"-Xmx1g", L"-Da"}));
}

TEST(JoinTwoWordModuleOptions, EveryModuleOptionTakesTheNextTokenAsItsValue) {
    for (const wchar_t* name : {L"--add-opens", L"--add-exports", L"--add-reads", L"--add-modules",
                                L"--limit-modules", L"--module-path", L"--upgrade-module-path",
                                L"--patch-module", L"--enable-native-access"}) {
        SCOPED_TRACE(testing::Message() << name);
        EXPECT_EQ(JoinTwoWordModuleOptions({L"-Xmx1g", name, L"v a", L"-Db"}),
                  (Tokens{L"-Xmx1g", std::wstring(name) + L"=v a", L"-Db"}));
    }
}

TEST(JoinTwoWordModuleOptions, LeavesEverythingElseAlone) {
    struct Case {
        Tokens given;
        Tokens expected;
    };
    const Case cases[] = {
        // already one word, possibly followed by another option
        {{L"--add-opens=java.base/java.lang=ALL-UNNAMED", L"-Da"},
         {L"--add-opens=java.base/java.lang=ALL-UNNAMED", L"-Da"}},
        // the name last: nothing to join, the VM rejects it
        {{L"-Da", L"--add-opens"}, {L"-Da", L"--add-opens"}},
        // names compared exactly: other case, other options, java.exe's short forms
        {{L"--ADD-OPENS", L"x", L"-p", L"y", L"--add-open", L"z"},
         {L"--ADD-OPENS", L"x", L"-p", L"y", L"--add-open", L"z"}},
        // a joined value is never read as a name again
        {{L"--add-modules", L"--add-modules", L"m"}, {L"--add-modules=--add-modules", L"m"}},
        {{L"--add-reads", L"a=b", L"--add-exports", L"c/d=e"}, {L"--add-reads=a=b", L"--add-exports=c/d=e"}},
        {{}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(JoinTwoWordModuleOptions(c.given), c.expected);
}

TEST(ProcessVmParameters, JoinsModuleOptionsAfterUnquoting) {
    std::optional<std::uint32_t> stack;
    EXPECT_EQ(ProcessVmParameters(L"--add-opens   \"java.base/java.lang=ALL-UNNAMED\" --module-path \"C:\\My Mods\"",
                                  kThreeGiB, stack),
              (Tokens{L"--add-opens=java.base/java.lang=ALL-UNNAMED", L"--module-path=C:\\My Mods"}));
}

}  // namespace
}  // namespace orvo
