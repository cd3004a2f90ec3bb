#include "config/service_settings.h"

#include <algorithm>

namespace orvo {
namespace {

std::wstring_view TrimBlanks(std::wstring_view text) {
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::uint32_t ParseServiceStopTimeout(std::wstring_view text) {
    text = TrimBlanks(text);
    if (text.empty() || text.size() > 4) return kDefaultServiceStopTimeoutSeconds;
    std::uint32_t seconds = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return kDefaultServiceStopTimeoutSeconds;
        seconds = seconds * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    if (seconds == 0 || seconds > kMaxServiceStopTimeoutSeconds) return kDefaultServiceStopTimeoutSeconds;
    return seconds;
}

std::optional<JavaStaticMethodName> ParseStaticMethodName(std::wstring_view text) {
    text = TrimBlanks(text);
    const std::size_t dot = text.rfind(L'.');
    if (dot == std::wstring_view::npos || dot == 0 || dot + 1 == text.size()) return std::nullopt;
    JavaStaticMethodName name{std::wstring(text.substr(0, dot)), std::wstring(text.substr(dot + 1))};
    // "com..Main" or ".Main" would name no class; FindClass would only say so later.
    if (name.className.front() == L'.' || name.className.back() == L'.' ||
        name.className.find(L"..") != std::wstring::npos) {
        return std::nullopt;
    }
    std::replace(name.className.begin(), name.className.end(), L'.', L'/');
    return name;
}

}  // namespace orvo
