#include "icon_file.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "pack_error.h"

namespace orvo::pack {
namespace {

constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;
constexpr std::uint32_t kDirectoryHeaderSize = 6;
constexpr std::uint32_t kFileEntrySize = 16;
constexpr std::uint32_t kGroupEntrySize = 14;
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

bool IsGroupIcon(const ResourceLeaf& leaf) { return IsResource(leaf, kResourceGroupIcon); }
bool IsIcon(const ResourceLeaf& leaf) { return IsResource(leaf, kResourceIcon); }

// Far more sizes and depths than any icon holds.
constexpr std::uint16_t kMaxImages = 256;

struct ImageRange {
    std::uint32_t entry = 0;  // offset of its directory entry
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// Where each image lies, checked before any is copied: inside the file, after the
// directory, and no two sharing a byte, so that the images together are never larger
// than the file.
std::vector<ImageRange> ImageRanges(ByteSpan file, std::uint16_t count) {
    const std::uint64_t directoryEnd = kDirectoryHeaderSize + std::uint64_t{kFileEntrySize} * count;
    std::vector<ImageRange> ranges;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t entry = kDirectoryHeaderSize + kFileEntrySize * i;
        const ImageRange range{entry, ReadU32(file, entry + 12), ReadU32(file, entry + 8)};
        SubSpan(file, range.offset, range.size);
        if (range.offset < directoryEnd) throw PackError("an image of the icon overlaps the icon's directory");
        ranges.push_back(range);
    }
    std::vector<ImageRange> sorted = ranges;
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        if (sorted[i].offset < sorted[i - 1].offset + sorted[i - 1].size)
            throw PackError("images of the icon overlap or repeat");
    }
    return ranges;
}

IconImage ReadImage(ByteSpan file, const ImageRange& range) {
    const std::uint32_t entry = range.entry;
    IconImage image;
    image.width = file[entry];
    image.height = file[entry + 1];
    image.colorCount = file[entry + 2];
    image.planes = ReadU16(file, entry + 4);
    image.bitCount = ReadU16(file, entry + 6);
    ByteSpan data = SubSpan(file, range.offset, range.size);
    const bool png = HasBytesAt(data, 0, kPngSignature);
    const bool dib = data.size() >= kBitmapInfoHeaderSize && ReadU32(data, 0) == kBitmapInfoHeaderSize;
    if (!png && !dib) throw PackError("an image of the icon is neither PNG nor a bitmap");
    // Some writers leave the depth out of the directory; Windows picks an image by it.
    if (dib && image.bitCount == 0) {
        image.planes = ReadU16(data, 12);
        image.bitCount = ReadU16(data, 14);
    }
    image.data.assign(data.begin(), data.end());
    return image;
}

// The smallest `count` icon numbers (from 1) that no icon resource uses.
std::vector<std::uint16_t> FreeIconIds(const std::vector<ResourceLeaf>& leaves, std::size_t count) {
    std::set<std::uint16_t> used;
    for (const ResourceLeaf& leaf : leaves) {
        if (IsIcon(leaf) && !leaf.name.named) used.insert(leaf.name.number);
    }
    std::vector<std::uint16_t> ids;
    for (std::uint32_t id = 1; id <= 0xFFFF && ids.size() < count; ++id) {
        if (!used.contains(static_cast<std::uint16_t>(id))) ids.push_back(static_cast<std::uint16_t>(id));
    }
    if (ids.size() < count) throw PackError("no free icon numbers left");
    return ids;
}

std::set<std::uint16_t> MembersOfGroups(const std::vector<ResourceLeaf>& leaves) {
    std::set<std::uint16_t> members;
    for (const ResourceLeaf& leaf : leaves) {
        if (!IsGroupIcon(leaf)) continue;
        for (std::uint16_t id : IconGroupMembers(leaf.data)) members.insert(id);
    }
    return members;
}

// Removes the group `name` in every language, and the icons only it used.
void RemoveIconGroup(std::vector<ResourceLeaf>& leaves, const ResourceId& name) {
    const std::set<std::uint16_t> before = MembersOfGroups(leaves);
    std::erase_if(leaves, [&](const ResourceLeaf& leaf) { return IsGroupIcon(leaf) && leaf.name == name; });
    const std::set<std::uint16_t> after = MembersOfGroups(leaves);
    std::erase_if(leaves, [&](const ResourceLeaf& leaf) {
        return IsIcon(leaf) && !leaf.name.named && before.contains(leaf.name.number) && !after.contains(leaf.name.number);
    });
}

}  // namespace

std::vector<IconImage> ParseIconFile(ByteSpan file) {
    if (file.size() < kDirectoryHeaderSize || ReadU16(file, 0) != 0) throw PackError("not an icon file");
    const std::uint16_t type = ReadU16(file, 2);
    if (type == kCursorType) throw PackError("a cursor file, not an icon file");
    if (type != kIconType) throw PackError("not an icon file");
    const std::uint16_t count = ReadU16(file, 4);
    if (count == 0) throw PackError("an icon file without images");
    if (count > kMaxImages) throw PackError("an icon file with more than 256 images");
    SubSpan(file, kDirectoryHeaderSize, std::uint64_t{kFileEntrySize} * count);
    std::vector<IconImage> images;
    for (const ImageRange& range : ImageRanges(file, count)) images.push_back(ReadImage(file, range));
    return images;
}

Bytes BuildIconGroup(const std::vector<IconImage>& images, const std::vector<std::uint16_t>& ids) {
    Bytes group;
    AppendU16(group, 0);
    AppendU16(group, kIconType);
    AppendU16(group, static_cast<std::uint16_t>(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        group.insert(group.end(), {image.width, image.height, image.colorCount, 0});
        AppendU16(group, image.planes);
        AppendU16(group, image.bitCount);
        AppendU32(group, static_cast<std::uint32_t>(image.data.size()));
        AppendU16(group, ids.at(i));
    }
    return group;
}

std::vector<std::uint16_t> IconGroupMembers(ByteSpan group) {
    const std::uint16_t count = ReadU16(group, 4);
    SubSpan(group, kDirectoryHeaderSize, std::uint64_t{kGroupEntrySize} * count);
    std::vector<std::uint16_t> ids;
    for (std::uint32_t i = 0; i < count; ++i) ids.push_back(ReadU16(group, kDirectoryHeaderSize + kGroupEntrySize * i + 12));
    return ids;
}

void ReplaceMainIcon(std::vector<ResourceLeaf>& leaves, const std::vector<IconImage>& images) {
    SortResourceLeaves(leaves);
    ResourceId groupName = ResourceId::Number(1);
    std::uint16_t language = 0;
    const auto main = std::find_if(leaves.begin(), leaves.end(), IsGroupIcon);
    if (main != leaves.end()) {
        groupName = main->name;
        language = main->language;
        RemoveIconGroup(leaves, groupName);
    }
    const std::vector<std::uint16_t> ids = FreeIconIds(leaves, images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        leaves.push_back({ResourceId::Number(kResourceIcon), ResourceId::Number(ids[i]), language, 0, images[i].data});
    }
    leaves.push_back({ResourceId::Number(kResourceGroupIcon), groupName, language, 0, BuildIconGroup(images, ids)});
    SortResourceLeaves(leaves);
}

}  // namespace orvo::pack
