#include "hosting/file_name_time.h"

#include "foundation/text_format.h"

namespace orvo {

std::optional<TimePictureParts> SplitTimePicture(std::wstring_view name) {
    std::size_t first = name.find(L'%');
    if (first == std::wstring_view::npos) return std::nullopt;
    std::size_t last = name.rfind(L'%');
    TimePictureParts parts;
    parts.before = name.substr(0, first);
    if (last > first) parts.picture = name.substr(first + 1, last - first - 1);
    parts.after = name.substr(last + 1);
    return parts;
}

std::wstring WithMilliseconds(std::wstring_view picture, unsigned milliseconds) {
    std::wstring digits = UnsignedDecimalText(milliseconds);
    std::wstring result;
    for (wchar_t c : picture) {
        if (c == L'L') result += digits;
        else result += c;
    }
    return result;
}

}  // namespace orvo
