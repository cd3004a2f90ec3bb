#pragma once
// Conversions between the launcher's UTF-16 text and the narrow strings the JVM library
// and the runtime's splash library take, in the thread's ANSI code page; in a process
// whose code page is UTF-8 (see ProcessCodePageIsUtf8), in UTF-8, which carries every
// path as it is written.
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

// The text in the thread's ANSI code page. A character the code page cannot represent
// becomes the code page's default character, never a look-alike (a fullwidth quotation
// mark must not turn into a quotation mark that the VM would parse).
std::string ToThreadAnsi(std::wstring_view text);

// True when the text survives the trip to the thread's ANSI code page and back.
bool RepresentableInThreadAnsi(std::wstring_view text);

// The path as the thread's ANSI code page can carry it: as written when it can, else
// its short (8.3) form when the file system keeps one the code page can carry;
// nullopt when it has neither.
std::optional<std::wstring> AnsiNameablePath(const std::wstring& path);

// Bytes in the thread's ANSI code page as UTF-16 text.
std::wstring FromThreadAnsi(std::string_view bytes);

}  // namespace orvo
