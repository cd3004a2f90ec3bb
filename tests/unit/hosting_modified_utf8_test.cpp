#include "foundation/modified_utf8.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(Utf16FromModifiedUtf8, AsciiAndTwoAndThreeByteLetters) {
    EXPECT_EQ(Utf16FromModifiedUtf8("at A.main"), u"at A.main");
    EXPECT_EQ(Utf16FromModifiedUtf8("Gr\xC3\xBC\xC3\x9F" "e"), u"Gr\u00FC\u00DFe");
    EXPECT_EQ(Utf16FromModifiedUtf8("\xE6\x97\xA5\xE6\x9C\xAC"), u"\u65E5\u672C");
    EXPECT_EQ(Utf16FromModifiedUtf8(""), u"");
}

TEST(Utf16FromModifiedUtf8, NulAndSeparatelyEncodedSurrogatesGiveTheJavaUnits) {
    EXPECT_EQ(Utf16FromModifiedUtf8(std::string_view("a\xC0\x80" "b", 4)), std::u16string(u"a\0b", 3));
    // U+1F600 as Java writes it: D83D and DE00, three bytes each.
    EXPECT_EQ(Utf16FromModifiedUtf8("\xED\xA0\xBD\xED\xB8\x80"), u"\U0001F600");
    // A lone surrogate stays the unit it was.
    EXPECT_EQ(Utf16FromModifiedUtf8("\xED\xA0\xBD"), std::u16string(1, char16_t(0xD83D)));
}

TEST(Utf16FromModifiedUtf8, StandardFourByteFormIsAcceptedToo) {
    EXPECT_EQ(Utf16FromModifiedUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(Utf16FromModifiedUtf8, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf16FromModifiedUtf8("a\x80" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf16FromModifiedUtf8("\xC3"), u"\uFFFD");          // cut short
    EXPECT_EQ(Utf16FromModifiedUtf8("\xE6\x97" "x"), u"\uFFFD\uFFFDx");  // lead and its orphan
    EXPECT_EQ(Utf16FromModifiedUtf8("\xFF" "a"), u"\uFFFDa");
}

// Four bytes can spell values above U+10FFFF, which no surrogate pair holds; read
// as one, they used to come out as two low surrogates.
TEST(Utf16FromModifiedUtf8, FourByteValuesBeyondUnicodeAreMalformed) {
    const struct {
        const char* bytes;
        std::u16string units;
    } cases[] = {
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xF5\x84\x84\xA0", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xF7\xBF\xBF\xBF" "a", u"\uFFFD\uFFFD\uFFFD\uFFFDa"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf16FromModifiedUtf8(c.bytes), c.units) << c.bytes;
}

}  // namespace
}  // namespace orvo
