#pragma once
// The encodings in which the profile API reads a configuration file, told apart by
// the byte-order mark at its start.
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

enum class IniEncoding {
    kAnsi,        // no mark: the ANSI code page
    kUtf8Bom,     // EF BB BF
    kUtf16LeBom,  // FF FE; what the launcher gives every file it creates
};

struct IniText {
    IniEncoding encoding = IniEncoding::kUtf16LeBom;
    std::wstring text;  // without the mark
};

// The file's text, or nullopt when its bytes would not come back unchanged from
// the text (a big-endian mark, an odd UTF-16 length, bytes the code page does not
// map): an edit could then not keep the lines it does not touch.
std::optional<IniText> DecodeIniText(std::string_view bytes);

// The bytes of the file, mark included, or nullopt when the encoding cannot hold
// every character of the text (a Cyrillic name in a Western ANSI file).
std::optional<std::string> EncodeIniText(const IniText& ini);

}  // namespace orvo
