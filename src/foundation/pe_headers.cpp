#include "foundation/pe_headers.h"

#include <algorithm>
#include <optional>

namespace orvo {

namespace {

constexpr std::uint16_t kDosSignature = 0x5A4D;      // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;   // "PE\0\0"
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNtOffsetField = 0x3C;         // e_lfanew, in the DOS header
// From the NT headers:
constexpr std::size_t kMachineField = 4;
constexpr std::size_t kSectionCountField = 6;
constexpr std::size_t kOptionalSizeField = 20;       // SizeOfOptionalHeader
constexpr std::size_t kCharacteristicsField = 22;
// From the optional header, the same in both kinds:
constexpr std::size_t kSectionAlignmentField = 32;
constexpr std::size_t kFileAlignmentField = 36;
constexpr std::size_t kSizeOfHeadersField = 60;
constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::uint32_t kLargestSignedOffset = 0x7FFFFFFF;
constexpr std::uint64_t kLargestFile = 0xFFFFFFFF;
constexpr std::uint32_t kLargestFileAlignment = 0x10000;

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
    std::optional<std::uint32_t> offset = bytes.U32(kNtOffsetField);
    // e_lfanew is signed: a "negative" offset would point before the file.
    if (!offset || *offset > kLargestSignedOffset) return std::nullopt;
    if (bytes.U32(*offset) != kPeSignature) return std::nullopt;
    return *offset;
}

std::optional<OptionalHeaderLayout> LayoutOf(std::uint16_t magic) noexcept {
    if (magic == 0x10B) return kPe32;
    if (magic == 0x20B) return kPe32Plus;
    return std::nullopt;
}

constexpr bool IsPowerOfTwo(std::uint32_t value) noexcept { return value != 0 && (value & (value - 1)) == 0; }

bool AlignmentsSane(const PeHeaders& headers) noexcept {
    return IsPowerOfTwo(headers.fileAlignment) && headers.fileAlignment <= kLargestFileAlignment &&
           IsPowerOfTwo(headers.sectionAlignment) && headers.sectionAlignment >= headers.fileAlignment;
}

// Keeps the first fault met.
void Note(PeHeaders& headers, PeFault fault) noexcept {
    if (headers.fault == PeFault::kNone) headers.fault = fault;
}

// The optional header from its fixed part on, once the file header is read.
void ReadOptionalHeader(const Bytes& bytes, PeHeaders& headers) noexcept {
    const std::size_t optional = headers.OptionalHeaderOffset();
    std::optional<std::uint16_t> magic = bytes.U16(optional);
    if (!magic) return Note(headers, PeFault::kCutShort);
    std::optional<OptionalHeaderLayout> layout = LayoutOf(*magic);
    if (!layout) return Note(headers, PeFault::kUnknownOptionalHeader);
    if (headers.optionalHeaderSize < layout->fixedSize) return Note(headers, PeFault::kOptionalHeaderTooSmall);
    if (!bytes.Holds(optional, layout->fixedSize)) return Note(headers, PeFault::kCutShort);

    headers.headersRead = true;
    headers.is64 = layout->is64;
    headers.sectionAlignment = *bytes.U32(optional + kSectionAlignmentField);
    headers.fileAlignment = *bytes.U32(optional + kFileAlignmentField);
    headers.sizeOfHeaders = *bytes.U32(optional + kSizeOfHeadersField);
    headers.dataDirectoriesOffset = optional + layout->fixedSize;
    const std::size_t inHeader = (headers.optionalHeaderSize - layout->fixedSize) / PeHeaders::kDataDirectorySize;
    const std::size_t inBytes = (bytes.size() - headers.dataDirectoriesOffset) / PeHeaders::kDataDirectorySize;
    const std::size_t declared = *bytes.U32(optional + layout->countField);
    if (declared > PeHeaders::kMaxDataDirectories || declared > inHeader) Note(headers, PeFault::kDirectoriesDoNotFit);
    if (declared > inBytes) Note(headers, PeFault::kCutShort);
    headers.dataDirectoryCount = static_cast<std::uint32_t>(
        std::min({declared, inHeader, inBytes, std::size_t{PeHeaders::kMaxDataDirectories}}));
    if (!AlignmentsSane(headers)) Note(headers, PeFault::kBadAlignment);
}

// Everything from the DOS header on.
void ReadHeaders(const Bytes& bytes, PeHeaders& headers) noexcept {
    if (bytes.U16(0) != kDosSignature) return Note(headers, PeFault::kNoDosSignature);
    if (bytes.size() < kDosHeaderSize) return Note(headers, PeFault::kTooShort);
    if (std::uint64_t{bytes.size()} > kLargestFile) Note(headers, PeFault::kTooLarge);
    std::optional<std::size_t> nt = NtHeadersOffset(bytes);
    if (!nt) return Note(headers, PeFault::kNoPeSignature);
    // The offset is at most 2^31 - 1, so the sums that follow cannot wrap even in 32 bits.
    headers.ntHeadersOffset = *nt;
    // The last field of the file header: when it lies inside the bytes, all do.
    std::optional<std::uint16_t> characteristics = bytes.U16(*nt + kCharacteristicsField);
    if (!characteristics) return Note(headers, PeFault::kCutShort);
    if ((*characteristics & kExecutableImage) == 0) Note(headers, PeFault::kNotExecutable);
    headers.machine = *bytes.U16(*nt + kMachineField);
    headers.sectionCount = *bytes.U16(*nt + kSectionCountField);
    headers.optionalHeaderSize = *bytes.U16(*nt + kOptionalSizeField);
    ReadOptionalHeader(bytes, headers);
}

}  // namespace

PeHeaders ReadPeHeaders(std::span<const unsigned char> image) noexcept {
    PeHeaders headers;
    ReadHeaders(Bytes(image), headers);
    return headers;
}

}  // namespace orvo
