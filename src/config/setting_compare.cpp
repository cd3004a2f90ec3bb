#include "config/setting_compare.h"

#include "foundation/text_format.h"
#include "foundation/trace.h"

namespace orvo {
namespace {

wchar_t FoldAsciiCase(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

bool EqualsAnyCase(std::wstring_view value, std::wstring_view keyword) noexcept {
    if (value.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (FoldAsciiCase(value[i]) != FoldAsciiCase(keyword[i])) {
            return false;
        }
    }
    return true;
}

bool EqualsYesAnyCase(std::wstring_view value) noexcept {
    return EqualsAnyCase(value, L"Yes");
}

bool EqualsExactly(std::wstring_view key, std::wstring_view value, std::wstring_view keyword) {
    if (value == keyword) return true;
    if (EqualsAnyCase(value, keyword) && TraceEnabled()) {
        Trace(L"config", FillTemplate(L"%s=%s is not taken: the value must be \"%s\" exactly, in that letter case",
                                      {key, value, keyword}));
    }
    return false;
}

}  // namespace orvo
