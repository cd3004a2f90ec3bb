#include "foundation/utf8_text.h"

namespace orvo {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendCodePoint(char32_t point, std::string& bytes) {
    if (point < 0x80) {
        bytes += static_cast<char>(point);
    } else if (point < 0x800) {
        bytes += static_cast<char>(0xC0 | (point >> 6));
        bytes += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        bytes += static_cast<char>(0xE0 | (point >> 12));
        bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (point >> 18));
        bytes += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// Each unit is taken as a UTF-16 unit, whatever the width of its type (wchar_t is
// 16 bits on Windows, where ToUtf8's text comes from).
template <class Unit>
std::optional<std::string> Encode(std::basic_string_view<Unit> units, LoneSurrogate rule) {
    std::string bytes;
    bytes.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = static_cast<char16_t>(units[i]);
        const char32_t next = i + 1 < units.size() ? static_cast<char16_t>(units[i + 1]) : 0;
        if (IsHighSurrogate(unit) && IsLowSurrogate(next)) {
            AppendCodePoint(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), bytes);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            if (rule == LoneSurrogate::kRefuse) return std::nullopt;
            AppendCodePoint(kReplacementCharacter, bytes);
        } else {
            AppendCodePoint(unit, bytes);
        }
    }
    return bytes;
}

}  // namespace

std::optional<std::string> Utf8FromUtf16(std::u16string_view units, LoneSurrogate rule) { return Encode(units, rule); }

std::string ToUtf8(std::wstring_view text) { return *Encode(text, LoneSurrogate::kReplace); }

}  // namespace orvo
