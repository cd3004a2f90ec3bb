#pragma once
// The date-time picture of an output file name: the text between the first and the
// last "%", in which "L" stands for the milliseconds and the letters of the Windows
// time and date pictures for the rest. Pure, no <windows.h>; the formatting itself is
// CJvmHost::ExpandFileNameTime.
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

struct TimePictureParts {
    std::wstring before;   // text before the first "%"
    std::wstring picture;  // text strictly between the first and the last "%"
    std::wstring after;    // text after the last "%"
};

// The three parts of a name with at least one "%"; nullopt for a name without one. A
// single "%" gives an empty picture.
std::optional<TimePictureParts> SplitTimePicture(std::wstring_view name);

// The picture with every "L" replaced by the milliseconds in decimal, no leading zeros.
std::wstring WithMilliseconds(std::wstring_view picture, unsigned milliseconds);

}  // namespace orvo
