#include "pe_image.h"

#include <algorithm>
#include <string_view>

#include "pack_error.h"

namespace orvo::pack {
namespace {

constexpr std::uint64_t kDosHeaderSize = 64;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::uint16_t kMaxSections = 96;  // the Windows loader's own limit
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kMaxDirectories = 16;

std::string SectionName(ByteSpan header) {
    std::string name;
    for (std::size_t i = 0; i < 8 && header[i] != 0; ++i) name += static_cast<char>(header[i]);
    return name;
}

}  // namespace

PeImage PeImage::Parse(ByteSpan file) {
    if (!HasBytesAt(file, 0, "MZ")) throw PackError("not a Windows executable (no MZ header)");
    if (file.size() < kDosHeaderSize) throw PackError("not a Windows executable (too short)");
    if (file.size() > 0xFFFFFFFFu) throw PackError("larger than an executable can be");
    const std::uint32_t peOffset = ReadU32(file, 0x3C);
    if (!HasBytesAt(file, peOffset, std::string_view("PE\0\0", 4))) throw PackError("not a PE executable (no PE signature)");
    PeImage image;
    image.fileHeaderOffset_ = peOffset + 4;
    const std::uint32_t fileHeader = image.fileHeaderOffset_;
    if ((ReadU16(file, fileHeader + 18) & kExecutableImage) == 0) throw PackError("not an executable image");
    const std::uint16_t optionalSize = ReadU16(file, fileHeader + 16);
    image.optionalHeaderOffset_ = fileHeader + 20;
    image.ParseOptionalHeader(file, optionalSize);
    image.ParseSections(file, ReadU16(file, fileHeader + 2), std::uint64_t{image.optionalHeaderOffset_} + optionalSize);
    image.CheckSections(file);
    return image;
}

void PeImage::ParseOptionalHeader(ByteSpan file, std::uint16_t optionalSize) {
    const std::uint32_t header = optionalHeaderOffset_;
    const std::uint16_t magic = ReadU16(file, header);
    if (magic != kPe32Magic && magic != kPe32PlusMagic) throw PackError("unknown kind of optional header");
    is64_ = magic == kPe32PlusMagic;
    const std::uint32_t countAt = is64_ ? 108 : 92;
    if (optionalSize < countAt + 4) throw PackError("optional header too small");
    sectionAlignment_ = ReadU32(file, header + 32);
    fileAlignment_ = ReadU32(file, header + 36);
    sizeOfHeaders_ = ReadU32(file, header + 60);
    const std::uint32_t count = ReadU32(file, header + countAt);
    if (count > kMaxDirectories || countAt + 4 + 8ull * count > optionalSize)
        throw PackError("data directory table does not fit the optional header");
    directoriesOffset_ = header + countAt + 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        directories_.push_back({ReadU32(file, directoriesOffset_ + 8 * i), ReadU32(file, directoriesOffset_ + 8 * i + 4)});
    }
    if (!IsPowerOfTwo(fileAlignment_) || fileAlignment_ > 0x10000 || !IsPowerOfTwo(sectionAlignment_) ||
        sectionAlignment_ < fileAlignment_)
        throw PackError("file or section alignment out of range");
}

void PeImage::ParseSections(ByteSpan file, std::uint16_t count, std::uint64_t tableOffset) {
    if (count == 0 || count > kMaxSections) throw PackError("number of sections out of range");
    if (tableOffset + std::uint64_t{kSectionHeaderSize} * count > sizeOfHeaders_)
        throw PackError("section table does not fit the headers");
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto at = static_cast<std::uint32_t>(tableOffset + kSectionHeaderSize * i);
        ByteSpan header = SubSpan(file, at, kSectionHeaderSize);
        PeSection section;
        section.name = SectionName(header);
        section.virtualSize = ReadU32(header, 8);
        section.virtualAddress = ReadU32(header, 12);
        section.rawSize = ReadU32(header, 16);
        section.rawOffset = ReadU32(header, 20);
        section.headerOffset = at;
        sections_.push_back(section);
    }
}

void PeImage::CheckSections(ByteSpan file) const {
    if (sizeOfHeaders_ > file.size()) throw PackError("headers larger than the file");
    std::uint64_t nextFree = 0;
    for (const PeSection& section : sections_) {
        if (section.rawSize != 0 && (section.rawOffset < sizeOfHeaders_ || section.RawEnd() > file.size()))
            throw PackError("section " + section.name + " lies outside the file");
        if (section.virtualAddress < nextFree) throw PackError("sections overlap or are out of order");
        nextFree = AlignUp(section.VirtualEnd(), sectionAlignment_);
    }
    if (nextFree > 0xFFFFFFFFu) throw PackError("image larger than its address space");
}

DirectoryEntry PeImage::Directory(DataDirectory which) const {
    const auto index = static_cast<std::size_t>(which);
    return index < directories_.size() ? directories_[index] : DirectoryEntry{};
}

std::optional<std::uint32_t> PeImage::DirectoryEntryOffset(DataDirectory which) const {
    const auto index = static_cast<std::uint32_t>(which);
    if (index >= directories_.size()) return std::nullopt;
    return directoriesOffset_ + 8 * index;
}

std::optional<std::size_t> PeImage::SectionAt(std::uint32_t rva) const {
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (rva >= sections_[i].virtualAddress && rva < sections_[i].VirtualEnd()) return i;
    }
    return std::nullopt;
}

std::uint64_t PeImage::ImageEnd() const {
    std::uint64_t end = sizeOfHeaders_;
    for (const PeSection& section : sections_) {
        if (section.rawSize != 0) end = std::max(end, section.RawEnd());
    }
    return end;
}

}  // namespace orvo::pack
