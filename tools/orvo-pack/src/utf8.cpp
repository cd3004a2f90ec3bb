#include "utf8.h"

#include "foundation/modified_utf8.h"
#include "foundation/utf8_text.h"
#include "pack_error.h"

namespace orvo::pack {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed sequence at `i`, or 0.
std::size_t SequenceAt(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || text.size() - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) return 0;
    }
    if (length == 1) return 1;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    // The second byte's range rules out overlong forms, surrogates and values above U+10FFFF.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceAt(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string Utf8FromUtf16(std::u16string_view units) {
    std::optional<std::string> text = orvo::Utf8FromUtf16(units, LoneSurrogate::kRefuse);
    if (!text) throw PackError("the text holds a broken UTF-16 surrogate pair");
    return *text;
}

std::u16string Utf16FromUtf8(std::string_view text, std::string_view what) {
    if (!IsValidUtf8(text)) throw PackError(std::string(what) + " is not valid UTF-8");
    return Utf16FromModifiedUtf8(text);
}

}  // namespace orvo::pack
