#pragma once
// The layout of a PE executable (PE32 or PE32+), read from its headers and checked
// before anything relies on it: every section's raw data lies inside the file, the
// headers fit, the alignments are sane and the sections follow each other in memory.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_io.h"

namespace orvo {
struct PeHeaders;
}

namespace orvo::pack {

enum class DataDirectory : std::uint32_t {
    kResource = 2,
    kSecurity = 4,  // its "address" is a file offset: the signature after the image
    kBaseRelocation = 5,
    kDebug = 6,
};

struct PeSection {
    std::string name;  // up to eight characters, as stored
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t headerOffset = 0;  // of its 40-byte section header in the file

    // Some linkers leave the virtual size 0 and mean the raw size.
    std::uint64_t VirtualEnd() const { return std::uint64_t{virtualAddress} + (virtualSize ? virtualSize : rawSize); }
    std::uint64_t RawEnd() const { return std::uint64_t{rawOffset} + rawSize; }
};

struct DirectoryEntry {
    std::uint32_t address = 0;
    std::uint32_t size = 0;
};

class PeImage {
public:
    // Throws PackError saying what is wrong when the bytes are not a PE executable.
    static PeImage Parse(ByteSpan file);

    bool is64() const noexcept { return is64_; }
    std::uint32_t fileAlignment() const noexcept { return fileAlignment_; }
    std::uint32_t sectionAlignment() const noexcept { return sectionAlignment_; }
    const std::vector<PeSection>& sections() const noexcept { return sections_; }

    // {0, 0} for a directory the image does not list.
    DirectoryEntry Directory(DataDirectory which) const;
    // File offset of the directory's 8-byte entry; nullopt when the image lists too few.
    std::optional<std::uint32_t> DirectoryEntryOffset(DataDirectory which) const;
    // Index of the section whose memory holds the address, if any.
    std::optional<std::size_t> SectionAt(std::uint32_t rva) const;
    // End of the headers and of every section's raw data: where carried data begins.
    std::uint64_t ImageEnd() const;

    // File offsets of header fields the writer changes.
    std::uint32_t fileHeaderOffset() const noexcept { return fileHeaderOffset_; }
    std::uint32_t optionalHeaderOffset() const noexcept { return optionalHeaderOffset_; }
    std::uint32_t ChecksumOffset() const noexcept { return optionalHeaderOffset_ + 64; }
    std::uint32_t SubsystemOffset() const noexcept { return optionalHeaderOffset_ + 68; }
    std::uint32_t SizeOfImageOffset() const noexcept { return optionalHeaderOffset_ + 56; }
    std::uint32_t SizeOfInitializedDataOffset() const noexcept { return optionalHeaderOffset_ + 8; }

private:
    void TakeHeaders(ByteSpan file, const PeHeaders& headers);
    void ParseSections(ByteSpan file, std::uint16_t count, std::uint64_t tableOffset);
    void CheckSections(ByteSpan file) const;

    bool is64_ = false;
    std::uint32_t fileHeaderOffset_ = 0;
    std::uint32_t optionalHeaderOffset_ = 0;
    std::uint32_t fileAlignment_ = 0;
    std::uint32_t sectionAlignment_ = 0;
    std::uint32_t sizeOfHeaders_ = 0;
    std::uint32_t directoriesOffset_ = 0;
    std::vector<DirectoryEntry> directories_;
    std::vector<PeSection> sections_;
};

}  // namespace orvo::pack
