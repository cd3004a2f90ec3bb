#pragma once
// Little-endian fields of binary files, read and written with bounds checks: a field
// outside the data throws PackError instead of reading or writing past it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace orvo::pack {

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

std::uint16_t ReadU16(ByteSpan data, std::uint64_t offset);
std::uint32_t ReadU32(ByteSpan data, std::uint64_t offset);
// `size` bytes from `offset`; throws when they are not all inside the data.
ByteSpan SubSpan(ByteSpan data, std::uint64_t offset, std::uint64_t size);
// True when the bytes at `offset` are exactly `expected`; false when out of range.
bool HasBytesAt(ByteSpan data, std::uint64_t offset, std::string_view expected);

void WriteU16(Bytes& data, std::uint64_t offset, std::uint16_t value);
void WriteU32(Bytes& data, std::uint64_t offset, std::uint32_t value);

void AppendU16(Bytes& data, std::uint16_t value);
void AppendU32(Bytes& data, std::uint32_t value);
void AppendBytes(Bytes& data, ByteSpan bytes);
// Zeros up to the next multiple of `alignment` (a power of two) of the size.
void PadTo(Bytes& data, std::uint64_t alignment);

// `value` rounded up to a multiple of `alignment` (a power of two).
constexpr std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
    return (value + alignment - 1) & ~(alignment - 1);
}

constexpr bool IsPowerOfTwo(std::uint64_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace orvo::pack
