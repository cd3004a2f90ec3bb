#include "config/setting_compare.h"

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

}  // namespace orvo
