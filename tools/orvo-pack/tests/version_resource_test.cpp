#include "version_resource.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "test_files.h"

namespace orvo::pack {
namespace {

TEST(VersionNumber, ReadsOneToFourParts) {
    struct Case {
        const char* text;
        std::optional<VersionNumber> number;
    };
    const Case cases[] = {
        {"1.4.2.0", VersionNumber{1, 4, 2, 0}}, {"2", VersionNumber{2, 0, 0, 0}}, {"10.65535", VersionNumber{10, 65535, 0, 0}},
        {"1.2.3.4.5", std::nullopt},           {"", std::nullopt},               {"1..2", std::nullopt},
        {"1.65536", std::nullopt},             {"1.2b", std::nullopt},           {"1.", std::nullopt},
        {"-1", std::nullopt},                  {"1.000007", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseVersionNumber(c.text), c.number) << c.text;
}

// Walks the version tree the way the system's reader does: every block is length,
// value length, type, key, value and children, each on a 32-bit boundary.
class VersionTree {
public:
    explicit VersionTree(ByteSpan data) { Walk(data, 0, u""); }
    std::map<std::u16string, std::u16string> texts;
    std::map<std::u16string, Bytes> values;

private:
    void Walk(ByteSpan data, std::size_t at, const std::u16string& parent) {
        const std::size_t end = at + ReadU16(data, at);
        const std::uint16_t valueLength = ReadU16(data, at + 2);
        const std::uint16_t type = ReadU16(data, at + 4);
        std::u16string key;
        std::size_t i = at + 6;
        for (; ReadU16(data, i) != 0; i += 2) key += static_cast<char16_t>(ReadU16(data, i));
        i = AlignUp(i + 2, 4);
        const std::u16string path = parent + u"/" + key;
        const std::size_t valueBytes = type == 1 ? valueLength * 2u : valueLength;
        if (type == 1 && valueLength > 0) {
            std::u16string text;
            for (std::size_t k = 0; k + 1 < valueLength; ++k) text += static_cast<char16_t>(ReadU16(data, i + 2 * k));
            texts[path] = text;
        } else if (valueLength > 0) {
            const ByteSpan value = SubSpan(data, i, valueBytes);
            values[path] = Bytes(value.begin(), value.end());
        }
        for (i = AlignUp(i + valueBytes, 4); i < end; i = AlignUp(i + ReadU16(data, i), 4)) Walk(data, i, path);
        EXPECT_LE(end, data.size());
    }
};

TEST(VersionResource, HoldsTheFixedVersionAndEveryText) {
    VersionInfo info;
    info.number = {1, 4, 2, 7};
    info.strings = {{u"ProductName", u"My App"}, {u"CompanyName", u"Exämple Ltd"}, {u"FileVersion", u"1.4.2.7"}};
    const Bytes resource = BuildVersionResource(info);
    EXPECT_EQ(ReadU16(resource, 0), resource.size());
    const VersionTree tree(resource);
    EXPECT_EQ(tree.texts.at(u"/VS_VERSION_INFO/StringFileInfo/040904b0/ProductName"), u"My App");
    EXPECT_EQ(tree.texts.at(u"/VS_VERSION_INFO/StringFileInfo/040904b0/CompanyName"), u"Exämple Ltd");
    EXPECT_EQ(tree.texts.at(u"/VS_VERSION_INFO/StringFileInfo/040904b0/FileVersion"), u"1.4.2.7");
    EXPECT_EQ(tree.values.at(u"/VS_VERSION_INFO/VarFileInfo/Translation"), (Bytes{0x09, 0x04, 0xB0, 0x04}));
    const Bytes& fixed = tree.values.at(u"/VS_VERSION_INFO");
    ASSERT_EQ(fixed.size(), 52u);
    EXPECT_EQ(ReadU32(fixed, 0), 0xFEEF04BDu);
    EXPECT_EQ(ReadU32(fixed, 8), 0x00010004u);   // file version 1.4
    EXPECT_EQ(ReadU32(fixed, 12), 0x00020007u);  // .2.7
    EXPECT_EQ(ReadU32(fixed, 16), 0x00010004u);  // product version
    EXPECT_EQ(ReadU32(fixed, 36), 1u);           // an application
}

TEST(VersionResource, ReplacesEveryOldOneInItsLanguage) {
    std::vector<ResourceLeaf> leaves = test::LauncherResources();
    leaves.push_back({ResourceId::Number(kResourceVersion), ResourceId::Number(2), 0x407, 0, Bytes(4, 0)});
    ReplaceVersionResource(leaves, test::BytesOf("new"));
    int versions = 0;
    for (const ResourceLeaf& leaf : leaves) {
        if (!IsResource(leaf, kResourceVersion)) continue;
        ++versions;
        EXPECT_EQ(leaf.name, ResourceId::Number(1));
        EXPECT_EQ(leaf.language, 0x409);
        EXPECT_EQ(test::TextOf(leaf.data), "new");
    }
    EXPECT_EQ(versions, 1);
}

}  // namespace
}  // namespace orvo::pack
