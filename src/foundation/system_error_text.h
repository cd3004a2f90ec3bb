#pragma once
// The system's own words for an error code.
#include <windows.h>

#include <string>
#include <string_view>

namespace orvo {

// FormatMessageW's text for the code in the thread's language, with its "%1" insert
// naming `subject` (the file concerned) and without the trailing line end; empty
// when the system has no text for it.
std::wstring SystemErrorText(DWORD code, std::wstring_view subject);

}  // namespace orvo
