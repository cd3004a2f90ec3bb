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

// The name of a "[name]" line (already stripped of leading control characters), or
// nullopt when the line does not open a section.
std::optional<std::wstring_view> SectionName(std::wstring_view line) {
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

}  // namespace

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
    while (!line.empty() && IsControlOrBlank(line.front())) {
        line.remove_prefix(1);
    }
    if (const auto name = SectionName(line)) {
        sections_.push_back({std::wstring(*name), {}});
        return;
    }
    const std::size_t equals = line.find(L'=');
    if (sections_.empty() || equals == std::wstring_view::npos) {
        return;
    }
    sections_.back().entries.emplace_back(std::wstring(TrimWhiteSpace(line.substr(0, equals))),
                                          std::wstring(TrimWhiteSpace(line.substr(equals + 1))));
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
