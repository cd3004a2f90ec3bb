#pragma once
// Conversions between the UTF-16 text of Windows and the byte strings of files
// and of GoogleTest's messages.
#include <string>
#include <string_view>

namespace orvo::test {

// UTF-8 bytes of the text (for exception messages and logs).
std::string Utf8(std::wstring_view text);

// The text of UTF-8 bytes (a results or trace file).
std::wstring FromUtf8(std::string_view bytes);

// The text in the ANSI code page, as the profile API reads an INI file without a BOM.
std::string AnsiBytes(std::wstring_view text);

// Decodes file contents: UTF-16LE after a byte-order mark, UTF-8 after its mark,
// otherwise the ANSI code page.
std::wstring DecodeText(std::string_view bytes);

// The system's description of an error code, without the trailing line break.
std::wstring SystemErrorText(unsigned long errorCode);

}  // namespace orvo::test
