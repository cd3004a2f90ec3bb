#include "foundation/java_version.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

JavaVersion V(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
    return JavaVersion{{a, b, c, d}};
}

JavaVersion Low(std::wstring_view text) {
    return JavaVersion::Parse(text, JavaVersion::kFillLow).version;
}

JavaVersion High(std::wstring_view text) {
    return JavaVersion::Parse(text, JavaVersion::kFillHigh).version;
}

TEST(JavaVersionParse, ReadsDigitRunsWhateverSeparatesThem) {
    EXPECT_EQ(Low(L"1.8.0_292"), V(1, 8, 0, 292));
    EXPECT_EQ(Low(L"11.0.2"), V(11, 0, 2, 0));
    EXPECT_EQ(Low(L"1.6+"), V(1, 6, 0, 0));
    EXPECT_EQ(Low(L"jre1.7"), V(1, 7, 0, 0));
    EXPECT_EQ(Low(L"17"), V(17, 0, 0, 0));
    EXPECT_EQ(Low(L"1-2 x3+4"), V(1, 2, 3, 4));
    EXPECT_EQ(Low(L"007.08"), V(7, 8, 0, 0));
}

TEST(JavaVersionParse, IgnoresDigitRunsAfterTheFourth) {
    const auto result = JavaVersion::Parse(L"1.8.0.45.7", 0);
    EXPECT_TRUE(result.parsed);
    EXPECT_EQ(result.version, V(1, 8, 0, 45));
    EXPECT_EQ(Low(L"1.2.3.4.2147483648"), V(1, 2, 3, 4));
}

TEST(JavaVersionParse, FillsMissingComponentsWithTheCallersValue) {
    EXPECT_EQ(High(L"1.8"), V(1, 8, 65535, 65535));
    EXPECT_EQ(High(L"11"), V(11, 65535, 65535, 65535));
    EXPECT_EQ(High(L"1.8.0.292"), V(1, 8, 0, 292));
    EXPECT_EQ(JavaVersion::Parse(L"5", 7).version, V(5, 7, 7, 7));
}

TEST(JavaVersionParse, FailsToTheZeroVersionWithoutDigits) {
    for (std::wstring_view text : {L"", L"abc", L"..", L"any", L"Any", L"\u0661.\u0668"}) {
        const auto result = JavaVersion::Parse(text, JavaVersion::kFillHigh);
        EXPECT_FALSE(result.parsed) << std::wstring(text);
        EXPECT_EQ(result.version, JavaVersion{});
    }
}

TEST(JavaVersionParse, AcceptsTheLargest32BitComponentAndFailsAboveIt) {
    const auto largest = JavaVersion::Parse(L"2147483647", 0);
    EXPECT_TRUE(largest.parsed);
    EXPECT_EQ(largest.version, V(2147483647, 0, 0, 0));

    for (std::wstring_view text : {L"2147483648", L"1.8.2147483648", L"1.99999999999999999999999"}) {
        const auto result = JavaVersion::Parse(text, JavaVersion::kFillHigh);
        EXPECT_FALSE(result.parsed);
        EXPECT_EQ(result.version, JavaVersion{}) << "earlier components must be reset too";
    }
}

TEST(JavaVersionFormat, DropsTrailingZeroAndOpenComponentsKeepingTwo) {
    EXPECT_EQ(JavaVersion::Format(V(1, 8, 0, 292)), L"1.8.0.292");
    EXPECT_EQ(JavaVersion::Format(V(1, 8, 65535, 65535)), L"1.8");
    EXPECT_EQ(JavaVersion::Format(V(2, 0, 0, 0)), L"2.0");
    EXPECT_EQ(JavaVersion::Format(V(1, 6, 0, 0)), L"1.6");
    EXPECT_EQ(JavaVersion::Format(V(11, 65535, 65535, 65535)), L"11.65535");
    EXPECT_EQ(JavaVersion::Format(V(1, 0, 65535, 5)), L"1.0.65535.5");
    EXPECT_EQ(JavaVersion::Format(V(0, 0, 3, 0)), L"0.0.3");
    EXPECT_EQ(JavaVersion::Format(V(2147483647, 1, 0, 0)), L"2147483647.1");
}

TEST(JavaVersionFormat, GivesFourZerosWhenNothingIsSignificant) {
    EXPECT_EQ(JavaVersion::Format(JavaVersion{}), L"0.0.0.0");
    EXPECT_EQ(JavaVersion::Format(V(65535, 65535, 65535, 65535)), L"0.0.0.0");
    EXPECT_EQ(JavaVersion::Format(V(0, 65535, 65535, 65535)), L"0.0.0.0");
}

TEST(JavaVersionCompare, FirstDifferingComponentDecides) {
    EXPECT_LT(JavaVersion::Compare(V(1, 8, 0, 292), V(1, 9, 0, 0)), 0);
    EXPECT_GT(JavaVersion::Compare(V(11, 0, 0, 0), V(1, 8, 65535, 65535)), 0);
    EXPECT_GT(JavaVersion::Compare(V(1, 8, 0, 10), V(1, 8, 0, 9)), 0);
    EXPECT_EQ(JavaVersion::Compare(V(1, 8, 0, 0), V(1, 8, 0, 0)), 0);
    EXPECT_GT(JavaVersion::Compare(V(2147483647, 0, 0, 0), V(0, 0, 0, 0)), 0);
}

TEST(JavaVersionIsUnset, OnlyAllZeroOrAllOpen) {
    EXPECT_TRUE(JavaVersion::IsUnset(JavaVersion{}));
    EXPECT_TRUE(JavaVersion::IsUnset(V(65535, 65535, 65535, 65535)));
    EXPECT_FALSE(JavaVersion::IsUnset(V(0, 65535, 65535, 65535)));
    EXPECT_FALSE(JavaVersion::IsUnset(V(1, 1, 1, 1)));
    EXPECT_FALSE(JavaVersion::IsUnset(V(0, 0, 0, 1)));
}

TEST(JavaVersionMatchesPreferred, TrailingZerosOfTheEntryAreWildcards) {
    EXPECT_TRUE(JavaVersion::MatchesPreferred(V(1, 8, 0, 292), Low(L"1.8")));
    EXPECT_TRUE(JavaVersion::MatchesPreferred(V(1, 8, 1, 5), Low(L"1.8.0")));
    EXPECT_TRUE(JavaVersion::MatchesPreferred(V(11, 0, 2, 0), Low(L"11")));
    EXPECT_FALSE(JavaVersion::MatchesPreferred(V(1, 7, 0, 80), Low(L"1.8")));
    EXPECT_FALSE(JavaVersion::MatchesPreferred(V(1, 11, 0, 0), Low(L"11")));
}

TEST(JavaVersionMatchesPreferred, AFullEntryMatchesOnlyItself) {
    EXPECT_TRUE(JavaVersion::MatchesPreferred(V(1, 8, 0, 292), Low(L"1.8.0_292")));
    EXPECT_FALSE(JavaVersion::MatchesPreferred(V(1, 8, 0, 291), Low(L"1.8.0_292")));
    // A zero inside the entry is not a wildcard: 1.0.5 wants a 0 second component.
    EXPECT_FALSE(JavaVersion::MatchesPreferred(V(1, 2, 5, 0), Low(L"1.0.5")));
    EXPECT_TRUE(JavaVersion::MatchesPreferred(V(1, 0, 5, 9), Low(L"1.0.5")));
}

TEST(JavaVersionMatchesPreferred, AnEntryWithoutDigitsMatchesEveryCandidate) {
    EXPECT_TRUE(JavaVersion::MatchesPreferred(V(1, 8, 0, 292), Low(L"")));
    EXPECT_TRUE(JavaVersion::MatchesPreferred(V(17, 0, 1, 0), Low(L"latest")));
    EXPECT_TRUE(JavaVersion::MatchesPreferred(JavaVersion{}, Low(L"")));
}

TEST(VersionRangeAdmits, BoundsAreInclusive) {
    const auto range = VersionRange::FromSettingTexts(L"1.6", L"1.8");
    EXPECT_TRUE(range.Admits(V(1, 6, 0, 0)));
    EXPECT_TRUE(range.Admits(V(1, 8, 65535, 65535)));
    EXPECT_TRUE(range.Admits(Low(L"1.8.0_292")));
    EXPECT_FALSE(range.Admits(V(1, 5, 65535, 65535)));
    EXPECT_FALSE(range.Admits(V(1, 8, 65535, 65536)));
    EXPECT_FALSE(range.Admits(V(1, 8, 65536, 0)));
    EXPECT_FALSE(range.Admits(V(1, 9, 0, 0)));
    EXPECT_FALSE(range.Admits(V(9, 0, 0, 0)));
}

TEST(VersionRangeAdmits, AZeroMaximumImposesNoUpperBound) {
    const auto range = VersionRange::FromSettingTexts(L"1.6", L"");
    EXPECT_EQ(range.maximum, JavaVersion{});
    EXPECT_TRUE(range.Admits(V(1, 6, 0, 0)));
    EXPECT_TRUE(range.Admits(V(2147483647, 2147483647, 2147483647, 2147483647)));
    EXPECT_FALSE(range.Admits(V(1, 5, 0, 99)));
}

TEST(VersionRangeAdmits, AnUnparsableSubkeyNameCountsAsTheZeroVersion) {
    const VersionRange defaults;
    EXPECT_TRUE(defaults.Admits(Low(L"..")));
    EXPECT_FALSE(VersionRange::FromSettingTexts(L"1.6", L"").Admits(Low(L"..")));
}

TEST(VersionRangeFromSettingTexts, ExactAnyOpensEachBound) {
    const auto range = VersionRange::FromSettingTexts(L"any", L"any");
    EXPECT_EQ(range.minimum, JavaVersion{});
    EXPECT_EQ(range.maximum, V(65535, 65535, 65535, 65535));
    EXPECT_TRUE(range.Admits(V(65535, 0, 0, 0)));
}

TEST(VersionRangeFromSettingTexts, AnyInOtherLetterCaseIsJustTextWithoutDigits) {
    for (std::wstring_view word : {L"Any", L"ANY", L" any"}) {
        const auto range = VersionRange::FromSettingTexts(word, word);
        EXPECT_EQ(range.minimum, JavaVersion{});
        EXPECT_EQ(range.maximum, JavaVersion{}) << "no upper bound, not 65535...";
    }
}

TEST(VersionRangeFromSettingTexts, FillsMinimumLowAndMaximumHigh) {
    const auto range = VersionRange::FromSettingTexts(L"1.8", L"11");
    EXPECT_EQ(range.minimum, V(1, 8, 0, 0));
    EXPECT_EQ(range.maximum, V(11, 65535, 65535, 65535));
    const auto overflowing = VersionRange::FromSettingTexts(L"2147483648", L"2147483648");
    EXPECT_EQ(overflowing.minimum, JavaVersion{});
    EXPECT_EQ(overflowing.maximum, JavaVersion{});
}

class DescribeVersionRequirementTest : public ::testing::Test {
protected:
    std::wstring Describe(std::wstring_view minimumText, std::wstring_view maximumText) {
        return DescribeVersionRequirement(
            VersionRange::FromSettingTexts(minimumText, maximumText), kTexts);
    }

    static constexpr VersionRequirementTexts kTexts{
        L"latest version", L"maximum version %s", L"minimum version %s",
        L"version %s is required", L"version between %s and %s"};
};

TEST_F(DescribeVersionRequirementTest, OpenBoundsAskForTheLatestVersion) {
    EXPECT_EQ(Describe(L"any", L"any"), L"latest version");
    EXPECT_EQ(Describe(L"", L""), L"latest version");
    EXPECT_EQ(DescribeVersionRequirement(VersionRange{}, kTexts), L"latest version");
}

TEST_F(DescribeVersionRequirementTest, OneSetBoundNamesThatBound) {
    EXPECT_EQ(Describe(L"1.6", L""), L"minimum version 1.6");
    EXPECT_EQ(Describe(L"1.6", L"any"), L"minimum version 1.6");
    EXPECT_EQ(Describe(L"any", L"1.8"), L"maximum version 1.8");
    EXPECT_EQ(Describe(L"", L"1.8.0_292"), L"maximum version 1.8.0.292");
}

TEST_F(DescribeVersionRequirementTest, EqualBoundsNeedAllFourComponentsAlike) {
    EXPECT_EQ(Describe(L"1.8.0.292", L"1.8.0_292"), L"version 1.8.0.292 is required");
    EXPECT_EQ(Describe(L"1.8", L"1.8"), L"version between 1.8 and 1.8");
    EXPECT_EQ(Describe(L"1.6", L"11"), L"version between 1.6 and 11.65535");
}

TEST(SplitPreferredVersions, SplitsAtEverySemicolon) {
    using List = std::vector<std::wstring>;
    EXPECT_EQ(SplitPreferredVersions(L""), List{});
    EXPECT_EQ(SplitPreferredVersions(L"1.8"), List{L"1.8"});
    EXPECT_EQ(SplitPreferredVersions(L"1.7;1.8"), (List{L"1.7", L"1.8"}));
    EXPECT_EQ(SplitPreferredVersions(L"1.8;;11;"), (List{L"1.8", L"", L"11"}));
    EXPECT_EQ(SplitPreferredVersions(L";1.8"), (List{L"", L"1.8"}));
    EXPECT_EQ(SplitPreferredVersions(L";"), List{L""});
    EXPECT_EQ(SplitPreferredVersions(L"1.8;;"), (List{L"1.8", L""}));
    EXPECT_EQ(SplitPreferredVersions(L" 1.8 ; 11 "), (List{L" 1.8 ", L" 11 "}));
}

}  // namespace
}  // namespace orvo
