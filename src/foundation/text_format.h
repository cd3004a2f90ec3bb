#pragma once
// printf-style filling of message templates; pure, no <windows.h>.
#include <string>
#include <string_view>

namespace orvo {

// Replaces each %s in order by the next of `texts`, %d by `number`, and %% by %.
// Other % sequences are copied as written. Missing arguments give empty text.
std::wstring FillTemplate(std::wstring_view templ, std::initializer_list<std::wstring_view> texts,
                          long long number = 0);

}  // namespace orvo
