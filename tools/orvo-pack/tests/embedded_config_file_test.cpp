#include "embedded_config_file.h"

#include <gtest/gtest.h>

#include "config/config_overlay.h"
#include "config/embedded_config_text.h"
#include "pack_error.h"
#include "test_files.h"

namespace orvo::pack {
namespace {

// The ASCII text as the launcher's overlay reads it.
ConfigOverlay AsOverlay(const std::string& text) { return ConfigOverlay::Parse(std::wstring(text.begin(), text.end())); }

TEST(EmbeddableConfigText, AcceptsTheEncodingsAnEditorWrites) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"utf-8, lone line feeds", "[A]\nk=v\n", "[A]\r\nk=v\r\n"},
        {"utf-8 with mark", "\xEF\xBB\xBF[A]\r\nk=\xC3\xA9", "[A]\r\nk=\xC3\xA9"},
        {"utf-16 with mark", std::string("\xFF\xFE[\0A\0]\0\n\0\xE9\0", 12), "[A]\r\n\xC3\xA9"},
    };
    for (const Case& c : cases) EXPECT_EQ(EmbeddableConfigText(test::BytesOf(c.bytes)), c.text) << c.name;
}

TEST(EmbeddableConfigText, RefusesTextTheLauncherWouldReadDifferently) {
    for (const std::string& bytes : {std::string("k=caf\xE9"), std::string("\xFF\xFEk\0=", 5),
                                    std::string("\xFF\xFE\x00\xD8k\0", 6)}) {
        EXPECT_THROW(EmbeddableConfigText(test::BytesOf(bytes)), PackError);
    }
}

TEST(WithEmbeddedJarOn, TheLauncherReadsYesWhateverTheTextSaid) {
    const char* texts[] = {
        "",
        "[Java Runtime Environment]\r\nMain Class=a.B",
        "[Java Runtime Environment]\r\nMain Class=a.B\r\n",
        "[Application]\r\nCmd=x\r\n[Java Runtime Environment]\r\nMain Class=a.B\r\n",
        "  [Application]  \r\nEmbedded Jar = No\r\nCmd=x\r\nEmbedded Jar=No\r\n",
        "[Application+]\r\nEmbedded Jar=No\r\n[Application]\r\nCmd=x\r\n[Application]\r\nEmbedded Jar=No\r\n",
        "[application]\r\nEmbedded Jar=No\r\n",
    };
    for (const char* text : texts) {
        const std::string result = WithEmbeddedJarOn(text);
        const ConfigOverlay overlay = AsOverlay(result);
        EXPECT_EQ(overlay.Find(L"Application", L"Embedded Jar"), L"Yes") << text;
        const ConfigOverlay original = AsOverlay(text);
        for (const auto& [section, key] : {std::pair{L"Application", L"Cmd"}, std::pair{L"Java Runtime Environment", L"Main Class"}}) {
            EXPECT_EQ(overlay.Find(section, key), original.Find(section, key)) << text;
        }
        EXPECT_EQ(WithEmbeddedJarOn(result), result) << "again: " << text;
    }
}

TEST(EmbeddedConfigResource, IsStoredOnceAndReadBack) {
    std::vector<ResourceLeaf> leaves = test::LauncherResources();
    EXPECT_EQ(FindEmbeddedConfig(leaves), std::nullopt);
    ReplaceEmbeddedConfig(leaves, "[A]\r\nk=1\r\n");
    ReplaceEmbeddedConfig(leaves, "[A]\r\nk=2\r\n");
    EXPECT_EQ(FindEmbeddedConfig(leaves), "[A]\r\nk=2\r\n");
    int found = 0;
    for (const ResourceLeaf& leaf : leaves) {
        if (!IsResource(leaf, kResourceRcData, ResourceId::Name(kEmbeddedConfigResourceName))) continue;
        ++found;
        // The launcher's own decoder reads it.
        EXPECT_EQ(DecodeEmbeddedConfig(test::TextOf(leaf.data)), u"\uFEFF[A]\r\nk=2\r\n");
    }
    EXPECT_EQ(found, 1);
    EXPECT_THROW(ReplaceEmbeddedConfig(leaves, std::string(kMaxEmbeddedConfigBytes, 'x')), PackError);
}

}  // namespace
}  // namespace orvo::pack
