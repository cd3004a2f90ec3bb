#pragma once
// UTF-16 to UTF-8, for text written to files and pipes. Pure.
#include <string>
#include <string_view>

namespace orvo {

// The text in UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

}  // namespace orvo
