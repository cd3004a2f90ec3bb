#include "zip_archive.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "pack_error.h"

namespace orvo::pack {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::uint64_t kEndSize = 22;
constexpr std::uint64_t kZip64LocatorSize = 20;
constexpr std::uint64_t kCentralHeaderSize = 46;
constexpr std::uint64_t kLocalHeaderSize = 30;
constexpr std::uint64_t kMaxCommentSize = 0xFFFF;

struct EndRecord {
    std::uint64_t position = 0;
    std::uint16_t entries = 0;
    std::uint32_t directorySize = 0;
    std::uint32_t directoryOffset = 0;
    std::uint16_t commentSize = 0;

    std::uint64_t DirectoryStart() const { return position - directorySize; }
    std::uint64_t End() const { return position + kEndSize + commentSize; }
};

struct CentralEntry {
    std::uint64_t offsetField = 0;  // position of its local-header offset field
    std::uint64_t localHeader = 0;  // position of its local header
};

bool HasSignature(ByteSpan bytes, std::uint64_t at, std::uint32_t signature) {
    return at + 4 <= bytes.size() && ReadU32(bytes, at) == signature;
}

// ZIP64 archives keep the real values elsewhere and these fields escaped.
bool IsEscaped(const EndRecord& end) {
    return end.entries == 0xFFFF || end.directorySize == 0xFFFFFFFF || end.directoryOffset == 0xFFFFFFFF;
}

// An end record at `at` that fits the data (escaped fields are taken as they are, to
// be refused with their own message); its central directory is checked apart.
std::optional<EndRecord> ReadEndRecord(ByteSpan bytes, std::uint64_t at) {
    if (!HasSignature(bytes, at, kEndSignature) || at + kEndSize > bytes.size()) return std::nullopt;
    EndRecord end{at, ReadU16(bytes, at + 10), ReadU32(bytes, at + 12), ReadU32(bytes, at + 16), ReadU16(bytes, at + 20)};
    if (end.End() > bytes.size()) return std::nullopt;
    return end;
}

// The central directory lies before the end record and the archive's first byte
// (where the directory's offset is counted from) inside the data.
bool DirectoryInside(const EndRecord& end) {
    return IsEscaped(end) || (end.directorySize <= end.position && end.directoryOffset <= end.DirectoryStart());
}

// The same test as Java's reader: the end record either reaches exactly to the end
// of the data, or the central directory and the first local header are where it says.
bool Plausible(ByteSpan bytes, const EndRecord& end) {
    if (end.End() == bytes.size()) return true;
    return !IsEscaped(end) && HasSignature(bytes, end.DirectoryStart(), kCentralHeaderSignature) &&
           HasSignature(bytes, end.DirectoryStart() - end.directoryOffset, kLocalHeaderSignature);
}

// The last plausible end record. One whose central directory lies outside the data
// is refused as such, rather than taken for no end record at all.
EndRecord FindEndRecord(ByteSpan bytes) {
    std::optional<EndRecord> outside;
    if (bytes.size() >= kEndSize) {
        const std::uint64_t last = bytes.size() - kEndSize;
        const std::uint64_t first = last > kMaxCommentSize ? last - kMaxCommentSize : 0;
        for (std::uint64_t at = last + 1; at-- > first;) {
            const std::optional<EndRecord> end = ReadEndRecord(bytes, at);
            if (!end) continue;
            if (!DirectoryInside(*end)) {
                if (!outside) outside = end;
                continue;
            }
            if (Plausible(bytes, *end)) return *end;
        }
    }
    if (outside)
        throw PackError("the archive's central directory lies outside the file (the end record gives offset " +
                        std::to_string(outside->directoryOffset) + ", size " + std::to_string(outside->directorySize) + ")");
    throw PackError("not a ZIP archive (no end of central directory found)");
}

void RejectZip64(ByteSpan bytes, const EndRecord& end) {
    const bool escaped = IsEscaped(end);
    const bool located = end.position >= kZip64LocatorSize &&
                         HasSignature(bytes, end.position - kZip64LocatorSize, kZip64LocatorSignature);
    if (escaped || located) throw PackError("a ZIP64 archive, which orvo-pack does not support");
    if (ReadU16(bytes, end.position + 4) != 0 || ReadU16(bytes, end.position + 6) != 0 ||
        ReadU16(bytes, end.position + 8) != end.entries)
        throw PackError("an archive split over several disks");
}

std::vector<CentralEntry> ReadCentralDirectory(ByteSpan bytes, const EndRecord& end) {
    const std::uint64_t base = end.DirectoryStart() - end.directoryOffset;
    std::vector<CentralEntry> entries;
    std::uint64_t at = end.DirectoryStart();
    for (std::uint32_t i = 0; i < end.entries; ++i) {
        if (at + kCentralHeaderSize > end.position || !HasSignature(bytes, at, kCentralHeaderSignature))
            throw PackError("the archive's central directory is malformed");
        const std::uint64_t local = base + ReadU32(bytes, at + 42);
        if (local + kLocalHeaderSize > end.DirectoryStart() || !HasSignature(bytes, local, kLocalHeaderSignature))
            throw PackError("an entry of the archive has no local header");
        entries.push_back({at + 42, local});
        at += kCentralHeaderSize + ReadU16(bytes, at + 28) + ReadU16(bytes, at + 30) + ReadU16(bytes, at + 32);
    }
    if (at > end.position) throw PackError("the archive's central directory is malformed");
    if (entries.empty()) throw PackError("the archive holds no entries");
    return entries;
}

}  // namespace

Bytes PrepareArchive(ByteSpan bytes) {
    const EndRecord end = FindEndRecord(bytes);
    RejectZip64(bytes, end);
    const std::vector<CentralEntry> entries = ReadCentralDirectory(bytes, end);
    const std::uint64_t first =
        std::min_element(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return a.localHeader < b.localHeader;
        })->localHeader;
    Bytes archive(bytes.begin() + static_cast<std::ptrdiff_t>(first), bytes.begin() + static_cast<std::ptrdiff_t>(end.End()));
    for (const CentralEntry& entry : entries) {
        WriteU32(archive, entry.offsetField - first, static_cast<std::uint32_t>(entry.localHeader - first));
    }
    WriteU32(archive, end.position + 16 - first, static_cast<std::uint32_t>(end.DirectoryStart() - first));
    return archive;
}

}  // namespace orvo::pack
