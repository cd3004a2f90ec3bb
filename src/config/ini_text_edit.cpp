#include "config/ini_text_edit.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace orvo {
namespace {

// One line of the text: [begin, contentEnd) is its text, [contentEnd, end) its line end.
struct Line {
    std::size_t begin;
    std::size_t contentEnd;
    std::size_t end;
};

std::vector<Line> SplitLines(std::wstring_view text) {
    std::vector<Line> lines;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t feed = text.find(L'\n', begin);
        const std::size_t end = feed == std::wstring_view::npos ? text.size() : feed + 1;
        std::size_t contentEnd = end;
        if (feed != std::wstring_view::npos) contentEnd = feed > begin && text[feed - 1] == L'\r' ? feed - 1 : feed;
        lines.push_back({begin, contentEnd, end});
        begin = end;
    }
    return lines;
}

std::wstring_view Trimmed(std::wstring_view text) {
    constexpr std::wstring_view kBlanks = L" \t";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
}

// The section a line opens, or nullopt for any other line.
std::optional<std::wstring_view> SectionName(std::wstring_view content) {
    content = Trimmed(content);
    const std::size_t close = content.find(L']');
    if (content.empty() || content.front() != L'[' || close == std::wstring_view::npos) return std::nullopt;
    return Trimmed(content.substr(1, close - 1));
}

bool IsKeyLine(std::wstring_view content, std::wstring_view key) {
    const std::size_t equals = content.find(L'=');
    return equals != std::wstring_view::npos && SameName(Trimmed(content.substr(0, equals)), key);
}

std::wstring_view LineEndOf(std::wstring_view text, const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        if (line.end > line.contentEnd) return text.substr(line.contentEnd, line.end - line.contentEnd);
    }
    return L"\r\n";
}

std::wstring_view ContentOf(std::wstring_view text, const Line& line) {
    return text.substr(line.begin, line.contentEnd - line.begin);
}

std::optional<std::size_t> FindSection(std::wstring_view text, const std::vector<Line>& lines,
                                       std::wstring_view section) {
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::optional<std::wstring_view> name = SectionName(ContentOf(text, lines[index]));
        if (name && SameName(*name, section)) return index;
    }
    return std::nullopt;
}

// The text with `lines` put in at `at`, after a line end when the text there lacks one.
std::wstring InsertedAt(std::wstring_view text, std::size_t at, std::wstring_view eol, std::wstring_view lines) {
    std::wstring result(text.substr(0, at));
    if (!result.empty() && result.back() != L'\n') result += eol;
    result += lines;
    result += text.substr(at);
    return result;
}

}  // namespace

std::wstring WithIniValue(std::wstring_view text, std::wstring_view section, std::wstring_view key,
                          std::wstring_view value) {
    const std::vector<Line> lines = SplitLines(text);
    const std::wstring eol(LineEndOf(text, lines));
    const std::wstring entry = std::wstring(key) + L"=" + std::wstring(value) + eol;
    const std::optional<std::size_t> header = FindSection(text, lines, section);
    if (!header) return InsertedAt(text, text.size(), eol, L"[" + std::wstring(section) + L"]" + eol + entry);
    std::size_t insertAt = lines[*header].end;
    for (std::size_t index = *header + 1; index < lines.size(); ++index) {
        const std::wstring_view content = ContentOf(text, lines[index]);
        if (SectionName(content)) break;
        if (IsKeyLine(content, key)) {
            const std::size_t valueStart = std::min(content.find_first_not_of(L" \t", content.find(L'=') + 1),
                                                    content.size());
            std::wstring result(text.substr(0, lines[index].begin + valueStart));
            result += value;
            result += text.substr(lines[index].contentEnd);
            return result;
        }
        if (!Trimmed(content).empty()) insertAt = lines[index].end;
    }
    return InsertedAt(text, insertAt, eol, entry);
}

}  // namespace orvo
