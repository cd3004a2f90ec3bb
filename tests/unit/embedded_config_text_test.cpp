#include "config/embedded_config_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::u16string text;
};

TEST(EmbeddedConfigText, DecodesEveryEncodingTheResourceMayHold) {
    const DecodeCase cases[] = {
        {"utf-8", "[A]\r\nk=v", u"[A]\r\nk=v"},
        {"utf-8 with mark", "\xEF\xBB\xBF[A]\r\nk=\xC3\xA9", u"\uFEFF[A]\r\nk=\u00E9"},
        {"utf-16 with mark", std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\x3D\xD8\x00\xDE", 20),
         u"\uFEFF[A]\r\nk=\U0001F600"},
        {"odd utf-16 byte dropped", std::string("\xFF\xFEk\0=", 5), u"\uFEFFk"},
        {"malformed utf-8", "k=\xC3(\xFF", u"k=\uFFFD(\uFFFD"},
        {"lone line feeds", "[A]\nk=v\r\nx=y\n", u"[A]\r\nk=v\r\nx=y\r\n"},
        {"empty", "", u""},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(DecodeEmbeddedConfig(c.bytes), c.text) << c.name;
    }
}

TEST(EmbeddedConfigText, ALargerResourceIsNotOurs) {
    EXPECT_EQ(DecodeEmbeddedConfig(std::string(kMaxEmbeddedConfigBytes, 'a')).size(), kMaxEmbeddedConfigBytes);
    EXPECT_EQ(DecodeEmbeddedConfig(std::string(kMaxEmbeddedConfigBytes + 1, 'a')), u"");
}

}  // namespace
}  // namespace orvo
