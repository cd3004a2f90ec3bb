#include "foundation/modified_utf8.h"

namespace orvo {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the sequence that starts with `lead`; 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

struct Sequence {
    char32_t code = 0;
    std::size_t length = 0;  // 0: malformed
};

// The sequence that starts at `i`. Four bytes can spell values above U+10FFFF, which
// no surrogate pair can hold: those are malformed too.
Sequence DecodeSequence(std::string_view bytes, std::size_t i) {
    auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = SequenceLength(lead);
    bool complete = length != 0 && i + length <= bytes.size();
    for (std::size_t k = 1; complete && k < length; ++k) {
        complete = IsContinuation(static_cast<unsigned char>(bytes[i + k]));
    }
    if (!complete) return {};
    char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    if (code > kLastCodePoint) return {};
    return {code, length};
}

void AppendCodePoint(std::u16string& units, char32_t code) {
    if (code < 0x10000) {
        units += static_cast<char16_t>(code);
        return;
    }
    code -= 0x10000;
    units += static_cast<char16_t>(0xD800 + (code >> 10));
    units += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

}  // namespace

std::u16string Utf16FromModifiedUtf8(std::string_view bytes) {
    std::u16string units;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const Sequence sequence = DecodeSequence(bytes, i);
        if (sequence.length == 0) {
            units += kReplacement;
            ++i;
            continue;
        }
        AppendCodePoint(units, sequence.code);
        i += sequence.length;
    }
    return units;
}

}  // namespace orvo
