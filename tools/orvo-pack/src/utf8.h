#pragma once
// UTF-8 checks and conversions for the texts orvo-pack writes into resources.
#include <string>
#include <string_view>

namespace orvo::pack {

// True for well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// UTF-16 units as UTF-8 (the launcher's encoder, refusing lone surrogates): a resource
// must read back as the text was given. Throws PackError for a surrogate without its partner.
std::string Utf8FromUtf16(std::u16string_view units);

// Well-formed UTF-8 as UTF-16; throws PackError naming `what` when it is not well-formed.
std::u16string Utf16FromUtf8(std::string_view text, std::string_view what);

}  // namespace orvo::pack
