#include "discovery/link_colour.h"

namespace orvo {

namespace {

constexpr std::size_t kMaxColourTextLength = 11;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

// The low 8 bits of the integer a C reader takes from the front of the text. The
// length limit keeps every part below nine digits, so no value can overflow.
std::uint8_t LowByteOfLeadingInteger(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - L'0');
    }
    if (negative) value = 0u - value;  // two's complement, as the signed value's low byte
    return static_cast<std::uint8_t>(value & 0xFFu);
}

}  // namespace

std::optional<RgbColour> ParseLinkColour(std::wstring_view text) {
    if (text.size() > kMaxColourTextLength) return std::nullopt;
    std::size_t firstComma = text.find(L',');
    if (firstComma == std::wstring_view::npos) return std::nullopt;
    std::size_t secondComma = text.find(L',', firstComma + 1);
    if (secondComma == std::wstring_view::npos || secondComma + 1 >= text.size()) return std::nullopt;
    RgbColour colour;
    colour.red = LowByteOfLeadingInteger(text.substr(0, firstComma));
    colour.green = LowByteOfLeadingInteger(text.substr(firstComma + 1, secondComma - firstComma - 1));
    colour.blue = LowByteOfLeadingInteger(text.substr(secondComma + 1));
    return colour;
}

}  // namespace orvo
