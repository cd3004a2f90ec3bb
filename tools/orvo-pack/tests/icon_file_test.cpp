#include "icon_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "pack_error.h"
#include "test_files.h"

namespace orvo::pack {
namespace {

bool IsType(const ResourceLeaf& leaf, std::uint16_t type) { return IsResource(leaf, type); }

TEST(IconFile, ReadsEveryImage) {
    const std::vector<IconImage> images = ParseIconFile(test::IconFile({16, 32, 0}, 0xFF00FF00));
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[1].width, 32);
    EXPECT_EQ(images[1].bitCount, 32);
    EXPECT_EQ(images[2].width, 0);  // 256 pixels, as the directory writes it
    EXPECT_EQ(ReadU32(images[1].data, 40), 0xFF00FF00u);
    EXPECT_EQ(images[1].data.size(), 40u + 32 * 32 * 4 + 4 * 32);
}

TEST(IconFile, TakesAMissingColourDepthFromTheBitmap) {
    Bytes file = test::IconFile({16}, 1);
    WriteU16(file, 6 + 6, 0);
    WriteU16(file, 6 + 4, 0);
    const IconImage image = ParseIconFile(file).at(0);
    EXPECT_EQ(image.bitCount, 32);
    EXPECT_EQ(image.planes, 1);
}

struct DamageCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    const char* message;
};

TEST(IconFile, RefusesWhatIsNotAnIcon) {
    const DamageCase cases[] = {
        {"empty", [](Bytes& f) { f.clear(); }, "not an icon file"},
        {"a PNG", [](Bytes& f) { f = test::BytesOf("\x89PNG\r\n\x1a\n0000000000000"); }, "not an icon file"},
        {"a cursor", [](Bytes& f) { WriteU16(f, 2, 2); }, "a cursor"},
        {"no images", [](Bytes& f) { WriteU16(f, 4, 0); }, "without images"},
        {"directory cut short", [](Bytes& f) { WriteU16(f, 4, 9); f.resize(6 + 16 * 3); }, "ends early"},
        {"image past the end", [](Bytes& f) { WriteU32(f, 6 + 12, 0x10000); }, "ends early"},
        {"image not a picture", [](Bytes& f) { WriteU32(f, ReadU32(f, 6 + 12), 41); }, "neither PNG nor a bitmap"},
        {"image over the directory", [](Bytes& f) { WriteU32(f, 6 + 12, 6 + 16); }, "overlaps the icon's directory"},
        {"image repeated", [](Bytes& f) { WriteU32(f, 6 + 16 + 12, ReadU32(f, 6 + 12)); WriteU32(f, 6 + 16 + 8, ReadU32(f, 6 + 8)); },
         "overlap or repeat"},
        {"images overlapping", [](Bytes& f) { WriteU32(f, 6 + 16 + 12, ReadU32(f, 6 + 12) + 8); }, "overlap or repeat"},
        {"257 images", [](Bytes& f) { f = test::IconFileRepeatingOneImage(257, 64); }, "more than 256 images"},
        // 256 entries naming one image would be 256 copies of it.
        {"256 names of one image", [](Bytes& f) { f = test::IconFileRepeatingOneImage(256, 64 * 1024); }, "overlap or repeat"},
    };
    for (const DamageCase& c : cases) {
        Bytes file = test::IconFile({16, 32}, 7);
        c.damage(file);
        try {
            ParseIconFile(file);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const PackError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.name << ": " << error.what();
        }
    }
}

// The launcher's group 1 lists icons 1 and 2; a second group "EXTRA" shares icon 2
// and has icon 3 of its own.
std::vector<ResourceLeaf> TwoGroups() {
    std::vector<ResourceLeaf> leaves = test::LauncherResources();
    leaves.push_back({ResourceId::Number(kResourceIcon), ResourceId::Number(3), 0x409, 0, Bytes(10, 3)});
    std::vector<IconImage> two(2);
    leaves.push_back({ResourceId::Number(kResourceGroupIcon), ResourceId::Number(9), 0x409, 0, BuildIconGroup(two, {2, 3})});
    return leaves;
}

TEST(ReplaceMainIcon, ReplacesTheFirstGroupAndKeepsWhatOthersUse) {
    std::vector<ResourceLeaf> leaves = TwoGroups();
    ReplaceMainIcon(leaves, ParseIconFile(test::IconFile({16, 32, 48}, 5)));
    std::vector<std::uint16_t> icons;
    for (const ResourceLeaf& leaf : leaves) {
        if (IsType(leaf, kResourceIcon)) icons.push_back(leaf.name.number);
    }
    // Icon 1 went with the old group; 2 and 3 stay for group 9; the new images take 1, 4, 5.
    EXPECT_EQ(icons, (std::vector<std::uint16_t>{1, 2, 3, 4, 5}));
    const auto group = std::find_if(leaves.begin(), leaves.end(), [](const ResourceLeaf& l) { return IsType(l, kResourceGroupIcon); });
    ASSERT_NE(group, leaves.end());
    EXPECT_EQ(group->name, ResourceId::Number(1));
    EXPECT_EQ(group->language, 0x409);
    EXPECT_EQ(IconGroupMembers(group->data), (std::vector<std::uint16_t>{1, 4, 5}));
    EXPECT_EQ(ReadU32(group->data, 6 + 8), 40u + 16 * 16 * 4 + 4 * 16);  // bytes of the first image
    EXPECT_EQ(IconGroupMembers((group + 1)->data), (std::vector<std::uint16_t>{2, 3}));

    // Done again, nothing piles up.
    const std::size_t count = leaves.size();
    ReplaceMainIcon(leaves, ParseIconFile(test::IconFile({16, 32, 48}, 6)));
    EXPECT_EQ(leaves.size(), count);
}

TEST(ReplaceMainIcon, GivesAnExecutableWithoutIconsGroupOne) {
    std::vector<ResourceLeaf> leaves;
    ReplaceMainIcon(leaves, ParseIconFile(test::IconFile({32}, 5)));
    ASSERT_EQ(leaves.size(), 2u);
    EXPECT_EQ(leaves[1].type, ResourceId::Number(kResourceGroupIcon));
    EXPECT_EQ(leaves[1].name, ResourceId::Number(1));
    EXPECT_EQ(IconGroupMembers(leaves[1].data), std::vector<std::uint16_t>{1});
}

}  // namespace
}  // namespace orvo::pack
