#pragma once
// Comparisons for setting values whose keywords are matched without regard to letter case.
#include <string_view>

namespace orvo {

// True when both texts have the same length and differ at most in the case of ASCII
// letters. The keywords compared this way are all ASCII, so no locale is involved.
bool EqualsAnyCase(std::wstring_view value, std::wstring_view keyword) noexcept;

// True for "Yes" in any letter case; "Y", "true", "1" and the empty text are false.
bool EqualsYesAnyCase(std::wstring_view value) noexcept;

// True when `value` is `keyword` exactly. A value that differs from it only in
// letter case is not taken either, but the trace says so: "Single Instance=Yes"
// leaves the mode off, and a user who asks why learns that only "yes" turns it on.
bool EqualsExactly(std::wstring_view key, std::wstring_view value, std::wstring_view keyword);

}  // namespace orvo
