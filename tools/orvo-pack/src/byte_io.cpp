#include "byte_io.h"

#include <cstring>

#include "pack_error.h"

namespace orvo::pack {
namespace {

void CheckRange(std::size_t dataSize, std::uint64_t offset, std::uint64_t size) {
    if (offset > dataSize || size > dataSize - offset) throw PackError("the file ends early or a field points outside it");
}

}  // namespace

std::uint16_t ReadU16(ByteSpan data, std::uint64_t offset) {
    CheckRange(data.size(), offset, 2);
    return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}

std::uint32_t ReadU32(ByteSpan data, std::uint64_t offset) {
    CheckRange(data.size(), offset, 4);
    return static_cast<std::uint32_t>(ReadU16(data, offset)) | (static_cast<std::uint32_t>(ReadU16(data, offset + 2)) << 16);
}

ByteSpan SubSpan(ByteSpan data, std::uint64_t offset, std::uint64_t size) {
    CheckRange(data.size(), offset, size);
    return data.subspan(offset, size);
}

bool HasBytesAt(ByteSpan data, std::uint64_t offset, std::string_view expected) {
    if (offset > data.size() || expected.size() > data.size() - offset) return false;
    return std::memcmp(data.data() + offset, expected.data(), expected.size()) == 0;
}

void WriteU16(Bytes& data, std::uint64_t offset, std::uint16_t value) {
    CheckRange(data.size(), offset, 2);
    data[offset] = static_cast<std::uint8_t>(value);
    data[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void WriteU32(Bytes& data, std::uint64_t offset, std::uint32_t value) {
    CheckRange(data.size(), offset, 4);
    WriteU16(data, offset, static_cast<std::uint16_t>(value));
    WriteU16(data, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void AppendU16(Bytes& data, std::uint16_t value) {
    data.push_back(static_cast<std::uint8_t>(value));
    data.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendU32(Bytes& data, std::uint32_t value) {
    AppendU16(data, static_cast<std::uint16_t>(value));
    AppendU16(data, static_cast<std::uint16_t>(value >> 16));
}

void AppendBytes(Bytes& data, ByteSpan bytes) { data.insert(data.end(), bytes.begin(), bytes.end()); }

void PadTo(Bytes& data, std::uint64_t alignment) { data.resize(AlignUp(data.size(), alignment), 0); }

}  // namespace orvo::pack
