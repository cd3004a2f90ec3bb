#pragma once
// The version resource (VS_VERSIONINFO) that Explorer, the taskbar and the Task
// Manager read: fixed file and product version, and a US English string table.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "byte_io.h"
#include "resource_tree.h"

namespace orvo::pack {

using VersionNumber = std::array<std::uint16_t, 4>;

struct VersionInfo {
    VersionNumber number{};  // the file and the product version
    // StringFileInfo values ("ProductName", "FileVersion", ...), in this order.
    std::vector<std::pair<std::u16string, std::u16string>> strings;
};

// "1.4.2.0": one to four numbers from 0 to 65535 separated by "."; missing ones are 0.
std::optional<VersionNumber> ParseVersionNumber(std::string_view text);

// The resource's bytes. Throws PackError when a value is too long for the format.
Bytes BuildVersionResource(const VersionInfo& info);

// Puts the resource in place of every version resource, as number 1 in the old one's
// language (US English when there was none).
void ReplaceVersionResource(std::vector<ResourceLeaf>& leaves, Bytes resource);

}  // namespace orvo::pack
