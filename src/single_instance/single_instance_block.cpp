#include "single_instance/single_instance_block.h"

#include <algorithm>

namespace orvo {
namespace {

std::uint32_t ReadUint32(std::span<const std::byte> bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= std::to_integer<std::uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

void WriteUint32(std::span<std::byte> bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
}

void WriteUnit(std::span<std::byte> bytes, std::size_t at, wchar_t unit) {
    const auto value = static_cast<std::uint16_t>(unit);
    bytes[at] = static_cast<std::byte>(value & 0xFF);
    bytes[at + 1] = static_cast<std::byte>(value >> 8);
}

wchar_t ReadUnit(std::span<const std::byte> bytes, std::size_t at) {
    return static_cast<wchar_t>(std::to_integer<std::uint16_t>(bytes[at]) |
                                (std::to_integer<std::uint16_t>(bytes[at + 1]) << 8));
}

}  // namespace

SingleInstanceNames NamesFor(std::wstring_view launcherIdentity) {
    std::wstring base(launcherIdentity);
    std::replace(base.begin(), base.end(), L'\\', L'_');
    const std::wstring local = L"Local\\" + base;
    return {base, local, local + L"_upr_evt", local + L"_fwd_mtx"};
}

BlockHeader ReadBlockHeader(std::span<const std::byte> block) {
    return {ReadUint32(block, 0), ReadUint32(block, 4), ReadUint32(block, 8)};
}

void WriteBlockHeader(std::span<std::byte> block, const BlockHeader& header) {
    WriteUint32(block, 0, header.listenerThreadId);
    WriteUint32(block, 4, header.primaryProcessId);
    WriteUint32(block, 8, header.messageId);
}

std::uint32_t ReadRequestSequence(std::span<const std::byte> block) {
    return ReadUint32(block, kRequestSequenceOffset);
}

void WriteRequestSequence(std::span<std::byte> block, std::uint32_t sequence) {
    WriteUint32(block, kRequestSequenceOffset, sequence);
}

std::size_t PackedArgumentBytes(const std::vector<std::wstring>& arguments) {
    std::size_t bytes = 2;  // the zero unit that ends the list
    for (const std::wstring& argument : arguments) bytes += 2 * argument.size() + 2;
    return bytes;
}

bool PackArguments(const std::vector<std::wstring>& arguments, std::span<std::byte> area) {
    if (area.size() < kForwardedArgumentBytes || PackedArgumentBytes(arguments) > kForwardedArgumentBytes) return false;
    std::fill_n(area.begin(), kForwardedArgumentBytes, std::byte{0});
    std::size_t at = 0;
    for (const std::wstring& argument : arguments) {
        for (wchar_t unit : argument) {
            WriteUnit(area, at, unit);
            at += 2;
        }
        at += 2;  // the zero unit after each argument
    }
    return true;
}

std::vector<std::wstring> UnpackArguments(std::span<const std::byte> area) {
    std::vector<std::wstring> list;
    std::wstring current;
    for (std::size_t at = 0; at + 1 < area.size(); at += 2) {
        const wchar_t unit = ReadUnit(area, at);
        if (unit != 0) {
            current += unit;
            continue;
        }
        list.push_back(std::move(current));
        current.clear();
        if (at + 3 < area.size() && ReadUnit(area, at + 2) == 0) break;
    }
    return list;
}

}  // namespace orvo
