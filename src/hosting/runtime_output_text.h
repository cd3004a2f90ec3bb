#pragma once
// The Java runtime's own error output made fit for an error box. Pure, no <windows.h>.
#include <cstddef>
#include <string>
#include <string_view>

namespace orvo {

// The most of the runtime's output an error box shows; the rest is cut off.
inline constexpr std::size_t kRuntimeOutputLimit = 4000;

// The text with "\r\n" as "\n", without line ends and blanks at its end, and at most
// `limit` characters: a longer text is cut at the last line end before the limit (or
// at the limit, when there is none) and ends in a line "...".
std::wstring TidyRuntimeOutput(std::wstring_view text, std::size_t limit = kRuntimeOutputLimit);

// True for the line the runtime prints on the program's standard output, whatever
// its logging options, when it has recorded an AOT configuration as the VM ends.
bool IsAotRecordedNotice(std::string_view printed);

}  // namespace orvo
