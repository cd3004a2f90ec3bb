#include "pe_writer.h"

#include <algorithm>

#include "pack_error.h"

namespace orvo::pack {
namespace {

constexpr std::uint32_t kDebugEntrySize = 28;

std::uint64_t EffectiveVirtualSize(const PeSection& section) { return section.VirtualEnd() - section.virtualAddress; }

// True when a directory other than `own` points into the section's memory. (The
// signature's directory holds a file offset, not an address.)
bool HoldsOtherDirectory(const PeImage& image, const PeSection& section, DataDirectory own) {
    for (std::uint32_t index = 0; index < 16; ++index) {
        const auto which = static_cast<DataDirectory>(index);
        if (which == own || which == DataDirectory::kSecurity) continue;
        const DirectoryEntry entry = image.Directory(which);
        if (entry.size != 0 && entry.address >= section.virtualAddress && entry.address < section.VirtualEnd()) return true;
    }
    return false;
}

// Debug directory entries hold file offsets of their data, which would go stale.
void CheckDebugData(ByteSpan file, const PeImage& image, std::uint64_t movedFrom) {
    const DirectoryEntry debug = image.Directory(DataDirectory::kDebug);
    if (debug.size == 0) return;
    const std::optional<std::size_t> holder = image.SectionAt(debug.address);
    if (!holder) throw PackError("the debug directory lies outside the sections");
    const PeSection& section = image.sections()[*holder];
    const std::uint64_t at = std::uint64_t{section.rawOffset} + (debug.address - section.virtualAddress);
    for (std::uint64_t entry = 0; entry + kDebugEntrySize <= debug.size; entry += kDebugEntrySize) {
        if (ReadU32(file, at + entry + 24) >= movedFrom) throw PackError("debug data lies after the resources");
    }
}

void CheckMovable(ByteSpan file, const PeImage& image, std::size_t resourceIndex) {
    const auto& sections = image.sections();
    const PeSection& resources = sections[resourceIndex];
    for (std::size_t i = 0; i < resourceIndex; ++i) {
        if (sections[i].rawSize != 0 && sections[i].RawEnd() > resources.rawOffset)
            throw PackError("section " + sections[i].name + " lies after the resources in the file");
    }
    const DirectoryEntry relocations = image.Directory(DataDirectory::kBaseRelocation);
    for (std::size_t i = resourceIndex + 1; i < sections.size(); ++i) {
        const PeSection& section = sections[i];
        const bool onlyRelocations = relocations.size != 0 && relocations.address == section.virtualAddress &&
                                     !HoldsOtherDirectory(image, section, DataDirectory::kBaseRelocation);
        if (!onlyRelocations || (section.rawSize != 0 && section.rawOffset < resources.RawEnd()))
            throw PackError("section " + section.name + " follows the resources and cannot be moved");
    }
    CheckDebugData(file, image, resources.rawOffset);
}

void WriteDirectory(Bytes& out, const PeImage& image, DataDirectory which, DirectoryEntry entry) {
    const std::optional<std::uint32_t> at = image.DirectoryEntryOffset(which);
    if (!at) return;
    WriteU32(out, *at, entry.address);
    WriteU32(out, *at + 4, entry.size);
}

void WriteSectionHeader(Bytes& out, const PeSection& section) {
    WriteU32(out, section.headerOffset + 8, section.virtualSize);
    WriteU32(out, section.headerOffset + 12, section.virtualAddress);
    WriteU32(out, section.headerOffset + 16, section.rawSize);
    WriteU32(out, section.headerOffset + 20, section.rawOffset);
}

// Appends the section's raw data at the end of `out` and places it in memory at
// `virtualAddress`; returns the section as it now is.
PeSection AppendSection(Bytes& out, const PeImage& image, PeSection section, ByteSpan data, std::uint64_t virtualAddress) {
    if (virtualAddress > 0xFFFFFFFFu) throw PackError("the image grows beyond its address space");
    section.virtualAddress = static_cast<std::uint32_t>(virtualAddress);
    section.rawOffset = 0;
    section.rawSize = 0;
    if (data.empty()) return section;
    const std::uint64_t start = out.size();
    AppendBytes(out, data);
    PadTo(out, image.fileAlignment());
    if (out.size() > 0xFFFFFFFFu) throw PackError("the executable grows beyond 4 GiB");
    section.rawOffset = static_cast<std::uint32_t>(start);
    section.rawSize = static_cast<std::uint32_t>(out.size() - start);
    return section;
}

void UpdateSizes(Bytes& out, const PeImage& image, std::uint64_t imageEnd, std::int64_t initializedDataChange) {
    WriteU32(out, image.SizeOfImageOffset(), static_cast<std::uint32_t>(imageEnd));
    const std::int64_t initialized = std::int64_t{ReadU32(out, image.SizeOfInitializedDataOffset())} + initializedDataChange;
    WriteU32(out, image.SizeOfInitializedDataOffset(), static_cast<std::uint32_t>(std::clamp<std::int64_t>(initialized, 0, 0xFFFFFFFF)));
    WriteU32(out, image.ChecksumOffset(), 0);
    // The symbol table lay after the sections that have moved; images do not need it.
    WriteU32(out, image.fileHeaderOffset() + 8, 0);
    WriteU32(out, image.fileHeaderOffset() + 12, 0);
}

}  // namespace

std::size_t ResourceSectionIndex(const PeImage& image) {
    const DirectoryEntry resources = image.Directory(DataDirectory::kResource);
    if (resources.address == 0 || resources.size == 0) throw PackError("the executable has no resources");
    const std::optional<std::size_t> index = image.SectionAt(resources.address);
    if (!index || image.sections()[*index].virtualAddress != resources.address)
        throw PackError("the resources do not start a section of their own");
    if (HoldsOtherDirectory(image, image.sections()[*index], DataDirectory::kResource))
        throw PackError("the resources share their section with other data");
    return *index;
}

Bytes ReplaceResourceSection(ByteSpan file, const PeImage& image, ByteSpan resources) {
    const std::size_t index = ResourceSectionIndex(image);
    CheckMovable(file, image, index);
    const auto& sections = image.sections();
    Bytes out(file.begin(), file.begin() + sections[index].rawOffset);
    PeSection placed = AppendSection(out, image, sections[index], resources, sections[index].virtualAddress);
    placed.virtualSize = static_cast<std::uint32_t>(resources.size());
    WriteSectionHeader(out, placed);
    const std::int64_t initializedDataChange = std::int64_t{placed.rawSize} - sections[index].rawSize;
    std::uint64_t next = AlignUp(placed.VirtualEnd(), image.sectionAlignment());
    for (std::size_t i = index + 1; i < sections.size(); ++i) {
        const PeSection& old = sections[i];
        const PeSection moved = AppendSection(out, image, old, SubSpan(file, old.rawOffset, old.rawSize), next);
        WriteSectionHeader(out, moved);
        // Only the relocations can lie here (CheckMovable), and their directory starts the section.
        const DirectoryEntry relocations = image.Directory(DataDirectory::kBaseRelocation);
        WriteDirectory(out, image, DataDirectory::kBaseRelocation, {moved.virtualAddress, relocations.size});
        next = AlignUp(moved.virtualAddress + EffectiveVirtualSize(old), image.sectionAlignment());
    }
    WriteDirectory(out, image, DataDirectory::kResource, {placed.virtualAddress, static_cast<std::uint32_t>(resources.size())});
    WriteDirectory(out, image, DataDirectory::kSecurity, {0, 0});
    UpdateSizes(out, image, next, initializedDataChange);
    return out;
}

ByteSpan CarriedData(ByteSpan file, const PeImage& image) {
    std::uint64_t end = file.size();
    const DirectoryEntry signature = image.Directory(DataDirectory::kSecurity);
    if (signature.size != 0 && signature.address >= image.ImageEnd() && signature.address <= file.size()) end = signature.address;
    const std::uint64_t start = image.ImageEnd();
    return start < end ? file.subspan(start, end - start) : ByteSpan{};
}

std::uint32_t PeChecksum(ByteSpan file, std::uint64_t checksumOffset) {
    const auto byteAt = [&](std::uint64_t i) -> std::uint32_t {
        if (i >= file.size() || (i >= checksumOffset && i < checksumOffset + 4)) return 0;
        return file[i];
    };
    std::uint64_t sum = 0;
    for (std::uint64_t i = 0; i < file.size(); i += 2) {
        sum += byteAt(i) | (byteAt(i + 1) << 8);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + file.size());
}

void WriteChecksum(Bytes& file, const PeImage& image) {
    WriteU32(file, image.ChecksumOffset(), PeChecksum(file, image.ChecksumOffset()));
}

}  // namespace orvo::pack
