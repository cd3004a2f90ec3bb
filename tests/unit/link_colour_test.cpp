#include "discovery/link_colour.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

RgbColour Rgb(int r, int g, int b) {
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

TEST(LinkColourTest, ReadsThreeDecimalParts) {
    EXPECT_EQ(ParseLinkColour(L"255,0,0"), Rgb(255, 0, 0));
    EXPECT_EQ(ParseLinkColour(L"0,0,255"), Rgb(0, 0, 255));
    EXPECT_EQ(ParseLinkColour(L"128,0,128"), Rgb(128, 0, 128));
    EXPECT_EQ(ParseLinkColour(L"1,22,3"), Rgb(1, 22, 3));
}

TEST(LinkColourTest, KeepsOnlyTheLowEightBitsOfEachPart) {
    EXPECT_EQ(ParseLinkColour(L"256,257,511"), Rgb(0, 1, 255));
    EXPECT_EQ(ParseLinkColour(L"-1,0,0"), Rgb(255, 0, 0));
    EXPECT_EQ(ParseLinkColour(L"999,9999,9"), Rgb(999 & 0xFF, 9999 & 0xFF, 9));
}

TEST(LinkColourTest, ReadsEachPartTheWayACReaderDoes) {
    // Blanks before a number and a plus sign are accepted; reading stops at the first
    // non-digit; a part without digits is 0.
    EXPECT_EQ(ParseLinkColour(L" 10, +20,30"), Rgb(10, 20, 30));
    EXPECT_EQ(ParseLinkColour(L"10x,20 ,3y"), Rgb(10, 20, 3));
    EXPECT_EQ(ParseLinkColour(L",,5"), Rgb(0, 0, 5));
    EXPECT_EQ(ParseLinkColour(L"a,b,c"), Rgb(0, 0, 0));
    // Whatever follows a third comma belongs to the third part and ends its number.
    EXPECT_EQ(ParseLinkColour(L"1,2,3,4"), Rgb(1, 2, 3));
}

TEST(LinkColourTest, AcceptsElevenCharactersAndRejectsTwelve) {
    EXPECT_EQ(ParseLinkColour(L"255,255,255"), Rgb(255, 255, 255));
    EXPECT_EQ(ParseLinkColour(L" 255,255,255"), std::nullopt);
    EXPECT_EQ(ParseLinkColour(L"255,255,2550"), std::nullopt);
}

TEST(LinkColourTest, RejectsTextWithoutTwoCommasAndAThirdPart) {
    EXPECT_EQ(ParseLinkColour(L"255,0"), std::nullopt);
    EXPECT_EQ(ParseLinkColour(L"255,0,"), std::nullopt);
    EXPECT_EQ(ParseLinkColour(L"255"), std::nullopt);
    EXPECT_EQ(ParseLinkColour(L""), std::nullopt);
    EXPECT_EQ(ParseLinkColour(L"255;0;0"), std::nullopt);
}

}  // namespace
}  // namespace orvo
