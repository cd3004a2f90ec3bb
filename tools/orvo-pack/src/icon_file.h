#pragma once
// Icon (.ico) files, and the icon resources of an executable made from one: an icon
// resource per image and the group resource that lists them.
#include <cstdint>
#include <vector>

#include "byte_io.h"
#include "resource_tree.h"

namespace orvo::pack {

struct IconImage {
    std::uint8_t width = 0;   // 0 means 256
    std::uint8_t height = 0;  // 0 means 256
    std::uint8_t colorCount = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    Bytes data;  // a PNG stream or a DIB (BITMAPINFOHEADER, colours, XOR and AND masks)
};

// Every image of an .ico file, in file order. Throws PackError when the bytes are not
// an icon file: wrong header (a cursor, say), no images or more than 256, an image
// outside the file, over the directory or over another image, or image data that is
// neither PNG nor a DIB. The images together are never larger than the file.
std::vector<IconImage> ParseIconFile(ByteSpan file);

// The group resource listing images[i] as icon resource ids[i].
Bytes BuildIconGroup(const std::vector<IconImage>& images, const std::vector<std::uint16_t>& ids);

// The icon resource numbers a group resource lists. Throws PackError when malformed.
std::vector<std::uint16_t> IconGroupMembers(ByteSpan group);

// Replaces the executable's main icon (the first icon group, which the shell shows)
// with the images: the group keeps its name and language, the icons it alone used go,
// and the images become icons under numbers no other group uses. Without an icon
// group, the new one is group 1 in the neutral language.
void ReplaceMainIcon(std::vector<ResourceLeaf>& leaves, const std::vector<IconImage>& images);

}  // namespace orvo::pack
