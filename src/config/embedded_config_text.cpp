#include "config/embedded_config_text.h"

#include "foundation/line_ends.h"
#include "foundation/modified_utf8.h"

namespace orvo {
namespace {

bool StartsWithUtf16Bom(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

// A trailing odd byte cannot be half of a unit; it is dropped.
std::u16string DecodeUtf16Le(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return units;
}

}  // namespace

std::u16string DecodeEmbeddedConfig(std::string_view bytes) {
    if (bytes.size() > kMaxEmbeddedConfigBytes) return {};
    // The modified-UTF-8 decoder reads standard UTF-8 as well; its two extra forms
    // (C0 80 and separately encoded surrogates) cannot change how a line reads.
    const std::u16string text = StartsWithUtf16Bom(bytes) ? DecodeUtf16Le(bytes) : Utf16FromModifiedUtf8(bytes);
    // Text written on a system with "\n" line ends would otherwise read as one line.
    return WithCrLfLineEnds<char16_t>(text);
}

}  // namespace orvo
