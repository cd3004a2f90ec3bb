#pragma once
// Setting one value in the text of a configuration (INI) file while every other
// line stays exactly as it was: the profile API rewrites the whole file and loses
// spacing, blank lines and line ends on the way. Pure: no Windows calls.
#include <string>
#include <string_view>

namespace orvo {

// The text with section/key set to value, found as the profile API finds it: the
// first section of that name (between "[" and the first "]", blanks around it
// ignored), in it the first line whose text before its first "=" is the key (blanks
// around it ignored); names compared without regard to ASCII letter case.
// - key found: that line keeps everything up to its "=" and the blanks after it,
//   and its line end; value takes the place of the rest;
// - section found without the key: "key=value" goes after the section's last line
//   that is not blank;
// - no such section: "[section]" and "key=value" go at the end.
// New lines end as the text's first line does ("\r\n" when it has none).
std::wstring WithIniValue(std::wstring_view text, std::wstring_view section, std::wstring_view key,
                          std::wstring_view value);

}  // namespace orvo
