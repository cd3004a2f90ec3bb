#pragma once
// UTF-16 to UTF-8: the launcher's text written to files and pipes, and orvo-pack's
// text written into resources. Pure.
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

// What becomes of a surrogate without its partner.
enum class LoneSurrogate {
    kReplace,  // U+FFFD: text a person reads (a trace, a message), where a wrong letter beats a lost line
    kRefuse,   // no result: text stored where it must read back exactly as it was given
};

// The UTF-16 units in UTF-8; nullopt only for a lone surrogate under kRefuse.
std::optional<std::string> Utf8FromUtf16(std::u16string_view units, LoneSurrogate rule);

// Windows text (UTF-16 in wchar_t) in UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

}  // namespace orvo
