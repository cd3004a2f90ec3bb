#pragma once
// Small but complete input files for orvo-pack's tests, built byte by byte: PE
// executables with a resource section, icon files and ZIP archives.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "byte_io.h"
#include "packer.h"
#include "resource_tree.h"

namespace orvo::pack::test {

struct SyntheticSection {
    std::string name;
    // The section's raw data, given the address it is loaded at.
    std::function<Bytes(std::uint32_t rva)> data;
};

struct SyntheticPe {
    bool is64 = true;
    std::vector<SyntheticSection> sections;
    int resourceSection = -1;    // its data starts with the resource directory
    int relocationSection = -1;  // its data is the base relocations
    Bytes trailing;              // appended after the image
};

inline constexpr std::uint32_t kFileAlignment = 0x200;
inline constexpr std::uint32_t kSectionAlignment = 0x1000;

// The executable: sections one after another from address 0x1000 and file offset
// 0x400, the resource and relocation directories pointing at their sections.
Bytes BuildSyntheticPe(const SyntheticPe& pe);

// A launcher-like image: .text, .rsrc holding `resources`, and .reloc after it.
Bytes LauncherLikePe(const std::vector<ResourceLeaf>& resources, bool is64 = true);

// A launcher-like image whose .rsrc section holds exactly these bytes.
Bytes LauncherLikePeWithSection(const Bytes& resourceSection);

// A resource directory whose root lists `count` types that all share one table of
// `count` names, which all share one empty table of languages: a few hundred KB that a
// reader visiting every path through it would take count * count steps over.
Bytes SharedTablesDirectory(std::uint16_t count);

// The resources a launcher has: its icon group (1) with icons 1 and 2, a version
// resource, a manifest, a string table.
std::vector<ResourceLeaf> LauncherResources();

// An .ico file with one image per size, each a 32-bit DIB filled with `colour`.
Bytes IconFile(const std::vector<std::uint8_t>& sizes, std::uint32_t colour);

// An .ico file whose directory lists `count` images, all of them the same bytes: a
// bitmap of `imageBytes` bytes.
Bytes IconFileRepeatingOneImage(std::uint16_t count, std::uint32_t imageBytes);

struct ZipEntry {
    std::string name;
    std::string content;
};

// A stored (uncompressed) ZIP archive with offsets counted from its first byte.
Bytes ZipFile(const std::vector<ZipEntry>& entries, const std::string& comment = {});

Bytes BytesOf(std::string_view text);
std::string TextOf(ByteSpan bytes);

// Every part a pack can carry (icon, version, configuration, jar, elevation) around
// `launcher`, the same in every test that needs a fully packed executable.
PackInputs EveryPackInput(const Bytes& launcher);

}  // namespace orvo::pack::test
