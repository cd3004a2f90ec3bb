#pragma once
// Windows line ends, for multi-line edit controls (which break lines only at
// "\r\n"), standard error and the event log. Pure.
#include <string>
#include <string_view>

namespace orvo {

// The text with every "\n" that is not preceded by "\r" turned into "\r\n".
std::wstring WithCrLfLineEnds(std::wstring_view text);

}  // namespace orvo
