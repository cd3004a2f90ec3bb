#include "resource_tree.h"

#include <gtest/gtest.h>

#include "pack_error.h"
#include "test_files.h"

namespace orvo::pack {
namespace {

constexpr std::uint32_t kRva = 0x5000;

std::vector<ResourceLeaf> MixedLeaves() {
    const auto number = ResourceId::Number;
    const auto name = ResourceId::Name;
    return {
        {number(10), name(u"ORVO_CONFIG"), 0, 0, test::BytesOf("[A]\r\nk=v")},
        {number(3), number(7), 0x409, 0, Bytes(33, 7)},
        {name(u"TYPELIB"), number(1), 0x407, 1252, Bytes(5, 1)},
        {number(3), number(2), 0x409, 0, Bytes(1, 2)},
        {number(10), name(u"ORVO"), 0, 0, Bytes(3, 3)},
        {number(3), number(2), 0x407, 0, Bytes(2, 4)},
    };
}

TEST(ResourceDirectory, ReadsBackWhatItWroteInDirectoryOrder) {
    const Bytes section = BuildResourceDirectory(MixedLeaves(), kRva);
    const std::vector<ResourceLeaf> leaves = ParseResourceDirectory(section, kRva);
    ASSERT_EQ(leaves.size(), 6u);
    // Names before numbers at every level; a name before a longer one it begins.
    EXPECT_EQ(leaves[0].type, ResourceId::Name(u"TYPELIB"));
    EXPECT_EQ(leaves[0].codePage, 1252u);
    EXPECT_EQ(leaves[1].name, ResourceId::Number(2));
    EXPECT_EQ(leaves[1].language, 0x407);
    EXPECT_EQ(leaves[2].language, 0x409);
    EXPECT_EQ(leaves[3].name, ResourceId::Number(7));
    EXPECT_EQ(leaves[4].name, ResourceId::Name(u"ORVO"));
    EXPECT_EQ(leaves[5].name, ResourceId::Name(u"ORVO_CONFIG"));
    EXPECT_EQ(test::TextOf(leaves[5].data), "[A]\r\nk=v");
    EXPECT_EQ(leaves[3].data, Bytes(33, 7));
}

struct DamageCase {
    const char* name;
    std::function<void(Bytes&)> damage;
};

TEST(ResourceDirectory, RefusesMalformedDirectories) {
    const std::vector<ResourceLeaf> one = {{ResourceId::Number(3), ResourceId::Number(1), 0, 0, Bytes(4, 1)}};
    // Layout of one leaf: root (0), type table (0x18), name table (0x30), data entry (0x48), data (0x58).
    const DamageCase cases[] = {
        {"truncated", [](Bytes& s) { s.resize(0x20); }},
        {"data outside the section", [](Bytes& s) { WriteU32(s, 0x4C, 0x1000); }},
        {"data before the section", [](Bytes& s) { WriteU32(s, 0x48, kRva - 8); }},
        {"leaf where a table belongs", [](Bytes& s) { WriteU32(s, 0x14, 0x48); }},
        {"table where a leaf belongs", [](Bytes& s) { WriteU32(s, 0x44, 0x80000018); }},
        {"name outside the section", [](Bytes& s) { WriteU32(s, 0x10, 0x80001000); }},
        {"language given as a name", [](Bytes& s) { WriteU32(s, 0x40, 0x8000004C); }},
        // 300 names of 300 languages each, all the same data: tables may be shared,
        // and a small directory must not multiply into a huge one.
        {"multiplying tables", [](Bytes& s) {
             const auto addTable = [&](std::uint32_t target) {
                 const auto at = static_cast<std::uint32_t>(s.size());
                 s.resize(at + 16 + 8 * 300, 0);
                 WriteU16(s, at + 14, 300);
                 for (std::uint32_t i = 0; i < 300; ++i) {
                     WriteU32(s, at + 16 + 8 * i, i + 1);
                     WriteU32(s, at + 20 + 8 * i, target);
                 }
                 return at;
             };
             const std::uint32_t languages = addTable(0x48);
             WriteU32(s, 0x14, 0x80000000u | addTable(0x80000000u | languages));
         }},
    };
    for (const DamageCase& c : cases) {
        Bytes section = BuildResourceDirectory(one, kRva);
        c.damage(section);
        EXPECT_THROW(ParseResourceDirectory(section, kRva), PackError) << c.name;
    }
    std::vector<ResourceLeaf> twice = one;
    twice.push_back(one[0]);
    EXPECT_THROW(BuildResourceDirectory(twice, kRva), PackError);
}

}  // namespace
}  // namespace orvo::pack
