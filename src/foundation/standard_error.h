#pragma once
// Writing text to the process's standard error, which a GUI launcher has only when
// whoever started it gave it one.
#include <string>
#include <string_view>

namespace orvo {

// Writes the text as it is: as Unicode text to a console, as UTF-8 to a file or pipe.
// Does nothing when there is no standard error; failures are silent.
void WriteToStandardError(std::wstring_view text);

// The text as whole lines: Windows line ends, and exactly one after its last line.
std::wstring AsWholeLines(std::wstring_view text);

}  // namespace orvo
