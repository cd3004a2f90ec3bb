#include "foundation/pe_headers.h"

#include <algorithm>

namespace orvo {

namespace {

constexpr std::uint16_t kDosSignature = 0x5A4D;      // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;   // "PE\0\0"
constexpr std::size_t kNtOffsetField = 0x3C;         // e_lfanew, in the DOS header
constexpr std::size_t kMachineField = 4;             // from the NT headers
constexpr std::size_t kOptionalSizeField = 20;       // SizeOfOptionalHeader, from the NT headers
constexpr std::size_t kOptionalHeader = 24;          // from the NT headers
constexpr std::uint32_t kLargestSignedOffset = 0x7FFFFFFF;

struct OptionalHeaderLayout {
    bool is64;
    std::size_t countField;  // NumberOfRvaAndSizes, from the optional header
    std::size_t fixedSize;   // everything before the data directories
};

constexpr OptionalHeaderLayout kPe32{false, 92, 96};
constexpr OptionalHeaderLayout kPe32Plus{true, 108, 112};

// Little-endian reads that come back empty instead of reading outside the bytes.
class Bytes {
public:
    explicit Bytes(std::span<const unsigned char> bytes) noexcept : bytes_(bytes) {}

    std::size_t size() const noexcept { return bytes_.size(); }
    bool Holds(std::size_t offset, std::size_t length) const noexcept {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    std::optional<std::uint16_t> U16(std::size_t offset) const noexcept {
        if (!Holds(offset, 2)) return std::nullopt;
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::optional<std::uint32_t> U32(std::size_t offset) const noexcept {
        if (!Holds(offset, 4)) return std::nullopt;
        return static_cast<std::uint32_t>(*U16(offset)) | static_cast<std::uint32_t>(*U16(offset + 2)) << 16;
    }

private:
    std::span<const unsigned char> bytes_;
};

// Where the NT headers start, when the DOS header points at a PE signature.
std::optional<std::size_t> NtHeadersOffset(const Bytes& bytes) noexcept {
    if (bytes.U16(0) != kDosSignature) return std::nullopt;
    std::optional<std::uint32_t> offset = bytes.U32(kNtOffsetField);
    // e_lfanew is signed: a "negative" offset would point before the file.
    if (!offset || *offset > kLargestSignedOffset) return std::nullopt;
    if (bytes.U32(*offset) != kPeSignature) return std::nullopt;
    return *offset;
}

std::optional<OptionalHeaderLayout> LayoutOf(std::optional<std::uint16_t> magic) noexcept {
    if (magic == 0x10B) return kPe32;
    if (magic == 0x20B) return kPe32Plus;
    return std::nullopt;
}

}  // namespace

std::optional<PeHeaders> ReadPeHeaders(std::span<const unsigned char> image) noexcept {
    const Bytes bytes(image);
    std::optional<std::size_t> nt = NtHeadersOffset(bytes);
    if (!nt) return std::nullopt;
    // The offset is at most 2^31 - 1, so these sums cannot wrap even in 32 bits.
    const std::size_t optional = *nt + kOptionalHeader;
    std::optional<std::uint16_t> machine = bytes.U16(*nt + kMachineField);
    std::optional<std::uint16_t> optionalSize = bytes.U16(*nt + kOptionalSizeField);
    std::optional<OptionalHeaderLayout> layout = LayoutOf(bytes.U16(optional));
    if (!machine || !optionalSize || !layout) return std::nullopt;
    if (*optionalSize < layout->fixedSize || !bytes.Holds(optional, layout->fixedSize)) return std::nullopt;

    PeHeaders headers;
    headers.ntHeadersOffset = *nt;
    headers.machine = *machine;
    headers.is64 = layout->is64;
    headers.dataDirectoriesOffset = optional + layout->fixedSize;
    const std::size_t inHeader = (*optionalSize - layout->fixedSize) / PeHeaders::kDataDirectorySize;
    const std::size_t inBytes = (bytes.size() - headers.dataDirectoriesOffset) / PeHeaders::kDataDirectorySize;
    const std::size_t declared = *bytes.U32(optional + layout->countField);
    headers.dataDirectoryCount = static_cast<std::uint32_t>(
        std::min({declared, inHeader, inBytes, std::size_t{PeHeaders::kMaxDataDirectories}}));
    return headers;
}

}  // namespace orvo
