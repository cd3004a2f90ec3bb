#pragma once
// The headers of a PE executable read from its bytes, every offset checked
// against the bytes given. Pure, no <windows.h>.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace orvo {

struct PeHeaders {
    // Loaders read at most this many data directories, whatever the header claims.
    static constexpr std::uint32_t kMaxDataDirectories = 16;
    static constexpr std::size_t kDataDirectorySize = 8;

    std::size_t ntHeadersOffset = 0;  // where "PE\0\0" lies
    std::uint16_t machine = 0;        // file header's Machine (0x014C i386, 0x8664 x86-64)
    bool is64 = false;                // PE32+ optional header
    std::size_t dataDirectoriesOffset = 0;
    // The directories that lie wholly inside both the optional header (as its size
    // declares) and the bytes, at most NumberOfRvaAndSizes and kMaxDataDirectories.
    std::uint32_t dataDirectoryCount = 0;
};

// The headers of `image`, or nullopt when it is no PE image: no "MZ", an NT
// headers offset that is negative or outside the bytes, no "PE\0\0", an optional
// header magic other than PE32 or PE32+, or a fixed part of the optional header
// that is cut short or longer than the optional header's declared size.
std::optional<PeHeaders> ReadPeHeaders(std::span<const unsigned char> image) noexcept;

}  // namespace orvo
