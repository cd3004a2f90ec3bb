#include "pe_image.h"

#include <algorithm>

#include "foundation/pe_headers.h"
#include "pack_error.h"

namespace orvo::pack {
namespace {

constexpr std::uint16_t kMaxSections = 96;  // the Windows loader's own limit
constexpr std::uint32_t kSectionHeaderSize = 40;

std::string SectionName(ByteSpan header) {
    std::string name;
    for (std::size_t i = 0; i < 8 && header[i] != 0; ++i) name += static_cast<char>(header[i]);
    return name;
}

// What the user is told about each fault of the headers. The Java packer says the same.
const char* FaultMessage(PeFault fault) {
    switch (fault) {
        case PeFault::kNone: break;
        case PeFault::kNoDosSignature: return "not a Windows executable (no MZ header)";
        case PeFault::kTooShort: return "not a Windows executable (too short)";
        case PeFault::kTooLarge: return "larger than an executable can be";
        case PeFault::kNoPeSignature: return "not a PE executable (no PE signature)";
        case PeFault::kCutShort: return "the file ends early or a field points outside it";
        case PeFault::kNotExecutable: return "not an executable image";
        case PeFault::kUnknownOptionalHeader: return "unknown kind of optional header";
        case PeFault::kOptionalHeaderTooSmall: return "optional header too small";
        case PeFault::kDirectoriesDoNotFit: return "data directory table does not fit the optional header";
        case PeFault::kBadAlignment: return "file or section alignment out of range";
    }
    return "";
}

}  // namespace

PeImage PeImage::Parse(ByteSpan file) {
    // Strict: the first fault of the headers refuses the file.
    const PeHeaders headers = ReadPeHeaders(file);
    if (headers.fault != PeFault::kNone) throw PackError(FaultMessage(headers.fault));
    PeImage image;
    image.TakeHeaders(file, headers);
    image.ParseSections(file, headers.sectionCount,
                        std::uint64_t{image.optionalHeaderOffset_} + headers.optionalHeaderSize);
    image.CheckSections(file);
    return image;
}

void PeImage::TakeHeaders(ByteSpan file, const PeHeaders& headers) {
    is64_ = headers.is64;
    fileHeaderOffset_ = static_cast<std::uint32_t>(headers.FileHeaderOffset());
    optionalHeaderOffset_ = static_cast<std::uint32_t>(headers.OptionalHeaderOffset());
    sectionAlignment_ = headers.sectionAlignment;
    fileAlignment_ = headers.fileAlignment;
    sizeOfHeaders_ = headers.sizeOfHeaders;
    directoriesOffset_ = static_cast<std::uint32_t>(headers.dataDirectoriesOffset);
    for (std::uint32_t i = 0; i < headers.dataDirectoryCount; ++i) {
        const std::uint32_t at = directoriesOffset_ + 8 * i;
        directories_.push_back({ReadU32(file, at), ReadU32(file, at + 4)});
    }
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
