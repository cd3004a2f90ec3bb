#pragma once
// The resource directory of a PE image as a flat list of leaves (type, name, language,
// data), read from a resource section and written back into a new one.
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "byte_io.h"

namespace orvo::pack {

inline constexpr std::uint16_t kResourceIcon = 3;
inline constexpr std::uint16_t kResourceRcData = 10;
inline constexpr std::uint16_t kResourceGroupIcon = 14;
inline constexpr std::uint16_t kResourceVersion = 16;
inline constexpr std::uint16_t kResourceManifest = 24;

// A resource type or name: a number or a string of UTF-16 units.
struct ResourceId {
    bool named = false;
    std::u16string name;
    std::uint16_t number = 0;

    static ResourceId Number(std::uint16_t number) { return {false, {}, number}; }
    static ResourceId Name(std::u16string name) { return {true, std::move(name), 0}; }

    // The directory's order: names first (by units, a prefix before longer names), then numbers.
    std::strong_ordering operator<=>(const ResourceId& other) const;
    bool operator==(const ResourceId& other) const = default;
};

struct ResourceLeaf {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    Bytes data;
};

// The leaves of the directory in a resource section (its raw data, loaded at
// `sectionRva`), sorted by type, name and language. Throws PackError when the directory
// is malformed: entries or data outside the section, a level of the wrong kind, a table
// reached twice (a cycle, or tables shared), more entries, names or data than the
// section holds, or a leaf listed twice. Takes time linear in the section's size.
std::vector<ResourceLeaf> ParseResourceDirectory(ByteSpan section, std::uint32_t sectionRva);

// The raw data of a resource section at `sectionRva` that holds exactly these leaves.
// Throws PackError when a leaf is listed twice.
Bytes BuildResourceDirectory(std::vector<ResourceLeaf> leaves, std::uint32_t sectionRva);

// Sorts the leaves into directory order; throws PackError when two have the same type,
// name and language.
void SortResourceLeaves(std::vector<ResourceLeaf>& leaves);

// Removes the leaves that match; returns the language of the first of them in
// directory order, nullopt when none matched.
std::optional<std::uint16_t> RemoveResources(std::vector<ResourceLeaf>& leaves,
                                             const std::function<bool(const ResourceLeaf&)>& matches);

// True for a leaf of that numbered type (and that name, when given).
bool IsResource(const ResourceLeaf& leaf, std::uint16_t type, const std::optional<ResourceId>& name = std::nullopt);

}  // namespace orvo::pack
