#include "config/config_overlay.h"

namespace orvo {
namespace {

constexpr wchar_t kByteOrderMark = 0xFEFF;

bool IsControlOrBlank(wchar_t c) noexcept { return c <= L' '; }

bool IsWhiteSpace(wchar_t c) noexcept {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

std::wstring_view TrimWhiteSpace(std::wstring_view text) noexcept {
    while (!text.empty() && IsWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::wstring_view WithoutLeadingControls(std::wstring_view line) {
    while (!line.empty() && IsControlOrBlank(line.front())) {
        line.remove_prefix(1);
    }
    return line;
}

}  // namespace

std::optional<std::wstring_view> OverlaySectionName(std::wstring_view line) {
    line = WithoutLeadingControls(line);
    if (line.empty() || line.front() != L'[') {
        return std::nullopt;
    }
    std::size_t last = line.size();
    while (last > 0 && IsControlOrBlank(line[last - 1])) {
        --last;
    }
    if (last < 2 || line[last - 1] != L']') {
        return std::nullopt;
    }
    return line.substr(1, last - 2);
}

std::optional<std::wstring_view> OverlayKey(std::wstring_view line) {
    line = WithoutLeadingControls(line);
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
        return std::nullopt;
    }
    return TrimWhiteSpace(line.substr(0, equals));
}

ConfigOverlay ConfigOverlay::Parse(std::wstring_view text) {
    if (!text.empty() && text.front() == kByteOrderMark) {
        text.remove_prefix(1);
    }
    ConfigOverlay overlay;
    while (true) {
        const std::size_t end = text.find(L"\r\n");
        overlay.AddLine(text.substr(0, end));
        if (end == std::wstring_view::npos) {
            break;
        }
        text.remove_prefix(end + 2);
    }
    return overlay;
}

void ConfigOverlay::AddLine(std::wstring_view line) {
    if (const auto name = OverlaySectionName(line)) {
        sections_.push_back({std::wstring(*name), {}});
        return;
    }
    const auto key = OverlayKey(line);
    if (sections_.empty() || !key) {
        return;
    }
    const std::wstring_view value = line.substr(line.find(L'=') + 1);
    sections_.back().entries.emplace_back(std::wstring(*key), std::wstring(TrimWhiteSpace(value)));
}

std::optional<std::wstring> ConfigOverlay::Find(std::wstring_view section, std::wstring_view key) const {
    for (const ConfigOverlaySection& candidate : sections_) {
        if (candidate.name != section) {
            continue;
        }
        for (const auto& [entryKey, value] : candidate.entries) {
            if (entryKey == key) {
                return value;
            }
        }
        return std::nullopt;  // only the first section of that name counts
    }
    return std::nullopt;
}

}  // namespace orvo
