#include "foundation/command_line.h"

#include <algorithm>
#include <cwctype>

namespace orvo {

namespace {

constexpr wchar_t kBlank = L' ';
constexpr wchar_t kQuote = L'"';

// Position of the first non-blank at or after `from`, or npos.
size_t SkipBlanks(std::wstring_view text, size_t from) {
    return text.find_first_not_of(kBlank, from);
}

bool IsWindowsSeparator(wchar_t c) { return c == L' ' || c == L'\t'; }

// Where the program name ends: quotes only group there, since a file name holds no
// quote to escape.
size_t SkipProgramName(std::wstring_view text) {
    bool quoted = false;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == kQuote) quoted = !quoted;
        else if (!quoted && IsWindowsSeparator(text[i])) break;
    }
    return i;
}

// Reads the backslashes at `i` and what follows them into `piece`; returns the
// position after them. `quoted` flips where a quote opens or closes a quoted part.
size_t ReadBackslashesAndQuote(std::wstring_view text, size_t i, bool& quoted, std::wstring& piece) {
    size_t backslashes = 0;
    while (i < text.size() && text[i] == L'\\') ++backslashes, ++i;
    if (i == text.size() || text[i] != kQuote) {
        piece.append(backslashes, L'\\');
        return i;
    }
    piece.append(backslashes / 2, L'\\');
    if (backslashes % 2 == 1) {
        piece += kQuote;  // escaped
    } else if (quoted && i + 1 < text.size() && text[i + 1] == kQuote) {
        piece += kQuote;  // "" inside a quoted part
        ++i;
    } else {
        quoted = !quoted;
    }
    return i + 1;
}

// One argument starting at `i` (not a separator); `i` ends after it.
std::wstring ReadWindowsArgument(std::wstring_view text, size_t& i) {
    std::wstring piece;
    bool quoted = false;
    while (i < text.size() && (quoted || !IsWindowsSeparator(text[i]))) {
        if (text[i] == L'\\' || text[i] == kQuote) {
            i = ReadBackslashesAndQuote(text, i, quoted, piece);
        } else {
            piece += text[i++];
        }
    }
    return piece;
}

}  // namespace

void SplitCommandLine(std::wstring_view text, std::vector<std::wstring>& list) {
    size_t i = text.empty() ? std::wstring_view::npos : 0;
    while (i != std::wstring_view::npos) {
        size_t end;
        size_t next;
        if (text[i] == kQuote) {
            end = text.find(kQuote, i + 1);
            list.emplace_back(text.substr(i + 1, end == std::wstring_view::npos ? end : end - i - 1));
            next = end == std::wstring_view::npos ? end : end + 1;
        } else {
            end = text.find(kBlank, i);
            list.emplace_back(text.substr(i, end == std::wstring_view::npos ? end : end - i));
            next = end;
        }
        i = next == std::wstring_view::npos ? next : SkipBlanks(text, next);
    }
}

std::wstring_view TrimCommandLine(std::wstring_view text) {
    auto isSpace = [](wchar_t c) { return std::iswspace(static_cast<std::wint_t>(c)) != 0; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::wstring> ArgumentsFromCommandLine(const wchar_t* commandLine) {
    std::vector<std::wstring> list;
    SplitCommandLine(TrimCommandLine(commandLine ? commandLine : L""), list);
    if (!list.empty()) list.erase(list.begin());
    return list;
}

std::vector<std::wstring> ArgumentsFromCommandLineWindows(const wchar_t* commandLine) {
    std::wstring_view text = commandLine ? commandLine : L"";
    std::vector<std::wstring> list;
    size_t i = SkipProgramName(text);
    for (;;) {
        while (i < text.size() && IsWindowsSeparator(text[i])) ++i;
        if (i == text.size()) break;
        list.push_back(ReadWindowsArgument(text, i));
    }
    return list;
}

bool HasNoSplashSwitch(const std::vector<std::wstring>& list) {
    return std::any_of(list.begin(), list.end(), [](const std::wstring& entry) {
        return entry == L"-nosplash" || entry == L"/nosplash";
    });
}

std::vector<std::wstring> SplitCmdSetting(std::wstring_view expandedText) {
    std::vector<std::wstring> pieces;
    SplitCommandLine(expandedText, pieces);
    std::erase_if(pieces, [](const std::wstring& piece) { return piece.empty(); });
    return pieces;
}

}  // namespace orvo
