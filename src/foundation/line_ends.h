#pragma once
// Windows line ends, for multi-line edit controls (which break lines only at
// "\r\n"), standard error, the event log and the embedded configuration. Pure.
#include <string>
#include <string_view>

namespace orvo {

// The text with every "\n" that is not preceded by "\r" turned into "\r\n".
template <typename Char>
std::basic_string<Char> WithCrLfLineEnds(std::basic_string_view<Char> text) {
    std::basic_string<Char> result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == Char('\n') && (i == 0 || text[i - 1] != Char('\r'))) result += Char('\r');
        result += text[i];
    }
    return result;
}

inline std::wstring WithCrLfLineEnds(std::wstring_view text) { return WithCrLfLineEnds<wchar_t>(text); }

}  // namespace orvo
