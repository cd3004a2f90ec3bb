#pragma once
// printf-style filling of message templates; pure, no <windows.h>.
#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// Replaces each %s in order by the next of `texts`, %d by `number`, and %% by %.
// Other % sequences are copied as written. Missing arguments give empty text.
std::wstring FillTemplate(std::wstring_view templ, std::initializer_list<std::wstring_view> texts,
                          long long number = 0);

// The number in decimal digits, "-" first when negative. Used instead of
// std::to_wstring, which formats through the C runtime's printf family.
std::wstring DecimalText(std::int64_t number);
std::wstring UnsignedDecimalText(std::uint64_t number);

// A message of the system's message table made fit to show: its "%1" inserts (the
// file concerned) replaced by `subject`, other inserts kept as written, and the
// trailing line ends and blanks removed.
std::wstring TidySystemMessage(std::wstring_view message, std::wstring_view subject);

}  // namespace orvo
