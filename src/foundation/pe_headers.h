#pragma once
// The headers of a PE executable read from its bytes, every offset checked
// against the bytes given. Pure, no <windows.h>: the launcher and orvo-pack both
// build it.
//
// Each caller has its own rule:
// - The launcher is lenient: it takes the headers whenever `headersRead` is set,
//   whatever the fault, and uses only the data directories that lie wholly inside
//   the bytes (dataDirectoryCount).
// - orvo-pack is strict: it refuses any fault, each with its own message, and
//   reports the first one met.
#include <cstddef>
#include <cstdint>
#include <span>

namespace orvo {

// What is wrong with the headers, in the order the reader checks: a fault listed
// earlier is reported before a later one.
enum class PeFault : std::uint8_t {
    kNone,
    kNoDosSignature,          // no "MZ"
    kTooShort,                // shorter than a DOS header
    kTooLarge,                // over 4 GiB, beyond what a PE file's offsets reach
    kNoPeSignature,           // e_lfanew negative or not at "PE\0\0"
    kCutShort,                // a header field or data directory lies outside the bytes
    kNotExecutable,           // the file header's executable flag is clear (an object file)
    kUnknownOptionalHeader,   // the optional header's magic is neither PE32 nor PE32+
    kOptionalHeaderTooSmall,  // its declared size is below its fixed part
    kDirectoriesDoNotFit,     // more than 16 data directories, or more than its declared size holds
    kBadAlignment,            // file alignment not a power of two up to 64 KiB, or section alignment
                              // not a power of two at least as large
};

struct PeHeaders {
    // Loaders read at most this many data directories, whatever the header claims.
    static constexpr std::uint32_t kMaxDataDirectories = 16;
    static constexpr std::size_t kDataDirectorySize = 8;

    PeFault fault = PeFault::kNone;  // the first fault met
    // Everything below was read: the NT headers and the optional header up to its
    // data directories lie inside the bytes. A fault may still be set (any of those
    // that do not stop the reading: too large, not executable, the directories or
    // the alignments).
    bool headersRead = false;

    std::size_t ntHeadersOffset = 0;  // where "PE\0\0" lies
    std::uint16_t machine = 0;        // file header's Machine (0x014C i386, 0x8664 x86-64)
    std::uint16_t sectionCount = 0;
    std::uint16_t optionalHeaderSize = 0;  // as the file header declares it
    bool is64 = false;                     // PE32+ optional header
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::size_t dataDirectoriesOffset = 0;
    // The directories that lie wholly inside both the optional header (as its size
    // declares) and the bytes, at most NumberOfRvaAndSizes and kMaxDataDirectories;
    // without a fault, exactly NumberOfRvaAndSizes.
    std::uint32_t dataDirectoryCount = 0;

    // The file header follows the signature; the optional header follows the file header.
    std::size_t FileHeaderOffset() const noexcept { return ntHeadersOffset + 4; }
    std::size_t OptionalHeaderOffset() const noexcept { return ntHeadersOffset + 24; }
};

PeHeaders ReadPeHeaders(std::span<const unsigned char> image) noexcept;

}  // namespace orvo
