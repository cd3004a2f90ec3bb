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
    const char* message;
};

TEST(ResourceDirectory, RefusesMalformedDirectories) {
    const std::vector<ResourceLeaf> one = {{ResourceId::Number(3), ResourceId::Number(1), 0, 0, Bytes(4, 1)}};
    // Layout of one leaf: root (0), type table (0x18), name table (0x30), data entry (0x48), data (0x58).
    const DamageCase cases[] = {
        {"truncated", [](Bytes& s) { s.resize(0x20); }, "ends early"},
        {"data outside the section", [](Bytes& s) { WriteU32(s, 0x4C, 0x1000); }, "ends early"},
        {"data before the section", [](Bytes& s) { WriteU32(s, 0x48, kRva - 8); }, "outside the resource section"},
        {"leaf where a table belongs", [](Bytes& s) { WriteU32(s, 0x14, 0x48); }, "of the wrong kind"},
        {"table where a leaf belongs", [](Bytes& s) { WriteU32(s, 0x44, 0x80000018); }, "of the wrong kind"},
        {"name outside the section", [](Bytes& s) { WriteU32(s, 0x10, 0x80001000); }, "ends early"},
        {"language given as a name", [](Bytes& s) { WriteU32(s, 0x40, 0x8000004C); }, "a name, not a number"},
        {"a type that is the root again", [](Bytes& s) { WriteU32(s, 0x14, 0x80000000); }, "reaches a table twice"},
        // 300 names of 300 languages each, all the same data: tables may not be shared,
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
         }, "reaches a table twice"},
        // Types and names sharing tables, with nothing at the end: no leaf, only steps.
        {"shared sub-tables", [](Bytes& s) { s = test::SharedTablesDirectory(300); }, "reaches a table twice"},
        // A type table laid over the root's own entries: each table fits the section,
        // but their entries together do not.
        {"overlapping tables", [](Bytes& s) {
             s.assign(0x40100, 0);
             const std::uint32_t count = (0x40100 - 16) / 8;
             WriteU16(s, 14, static_cast<std::uint16_t>(count));
             for (std::uint32_t i = 0; i < count; ++i) {
                 WriteU32(s, 16 + 8 * i, i + 1);
                 WriteU32(s, 20 + 8 * i, 0x80000008u);
             }
         }, "more entries than its section holds"},
        // One long name shared by every type: each leaf would carry its own copy.
        {"one long name for every type", [](Bytes& s) {
             s = test::SharedTablesDirectory(1);
             const auto name = static_cast<std::uint32_t>(s.size());
             s.resize(name + 2 + 2 * 0x8000, 'n');
             WriteU16(s, name, 0x8000);
             const auto languages = static_cast<std::uint32_t>(s.size());
             s.resize(languages + 16 + 8 * 4000 + 16 * 4000, 0);
             WriteU16(s, languages + 14, 4000);
             for (std::uint32_t i = 0; i < 4000; ++i) {
                 const std::uint32_t entry = languages + 16 + 8 * 4000 + 16 * i;
                 WriteU32(s, languages + 16 + 8 * i, i);
                 WriteU32(s, languages + 20 + 8 * i, entry);
                 WriteU32(s, entry, kRva);
             }
             WriteU32(s, 0x10, 0x80000000u | name);
             WriteU32(s, 0x2C, 0x80000000u | languages);
         }, "lists more than its section holds"},
    };
    for (const DamageCase& c : cases) {
        Bytes section = BuildResourceDirectory(one, kRva);
        c.damage(section);
        try {
            ParseResourceDirectory(section, kRva);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const PackError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.name << ": " << error.what();
        }
    }
    std::vector<ResourceLeaf> twice = one;
    twice.push_back(one[0]);
    EXPECT_THROW(BuildResourceDirectory(twice, kRva), PackError);
}

}  // namespace
}  // namespace orvo::pack
