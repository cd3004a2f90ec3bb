#include "support/trace_file.h"

#include <windows.h>

#include <cwctype>

#include "support/file_tree.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

// Consumes `count` decimal digits (any number when count is 0) and returns their value.
std::optional<std::uint64_t> TakeNumber(std::wstring_view& text, std::size_t count) {
    std::size_t length = 0;
    while (length < text.size() && std::iswdigit(text[length]) && (count == 0 || length < count)) ++length;
    if (length == 0 || (count != 0 && length != count)) return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < length; ++i) value = value * 10 + (text[i] - L'0');
    text.remove_prefix(length);
    return value;
}

bool TakeText(std::wstring_view& text, std::wstring_view expected) {
    if (!text.starts_with(expected)) return false;
    text.remove_prefix(expected.size());
    return true;
}

bool SkipTimestamp(std::wstring_view& text) {
    const std::pair<std::size_t, std::wstring_view> fields[] = {{4, L"-"}, {2, L"-"}, {2, L" "}, {2, L":"},
                                                                {2, L":"}, {2, L"."}, {3, L" "}};
    for (const auto& [digits, separator] : fields) {
        if (!TakeNumber(text, digits) || !TakeText(text, separator)) return false;
    }
    return true;
}

std::optional<TraceLine> ParseLine(std::wstring_view text) {
    TraceLine line;
    if (!SkipTimestamp(text)) return std::nullopt;
    // The process name may hold a "[" itself; the one before "] +" opens the id.
    std::size_t close = text.find(L"] +");
    std::size_t open = close == std::wstring_view::npos ? close : text.rfind(L'[', close);
    if (open == std::wstring_view::npos || open == 0) return std::nullopt;
    line.process = std::wstring(text.substr(0, open));
    text.remove_prefix(open + 1);
    std::optional<std::uint64_t> processId = TakeNumber(text, 0);
    if (!processId || !TakeText(text, L"] +")) return std::nullopt;
    std::optional<std::uint64_t> elapsed = TakeNumber(text, 0);
    if (!elapsed || !TakeText(text, L"ms ")) return std::nullopt;
    std::size_t colon = text.find(L": ");
    if (colon == std::wstring_view::npos || colon == 0) return std::nullopt;
    line.processId = static_cast<unsigned long>(*processId);
    line.elapsedMs = *elapsed;
    line.topic = std::wstring(text.substr(0, colon));
    line.text = std::wstring(text.substr(colon + 2));
    return line;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

std::vector<const TraceLine*> TraceFile::Of(std::wstring_view process) const {
    std::vector<const TraceLine*> found;
    for (const TraceLine& line : lines)
        if (SameName(line.process, process)) found.push_back(&line);
    return found;
}

std::optional<std::size_t> TraceFile::Find(std::wstring_view process, std::wstring_view topic, std::wstring_view text,
                                           bool prefix) const {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TraceLine& line = lines[i];
        if (!SameName(line.process, process) || line.topic != topic) continue;
        if (prefix ? std::wstring_view(line.text).starts_with(text) : line.text == text) return i;
    }
    return std::nullopt;
}

std::string TraceFile::Text() const {
    if (!exists) return "(no trace file)\n";
    std::string text;
    for (const TraceLine& line : lines) {
        text += Utf8(line.process + L"[" + std::to_wstring(line.processId) + L"] +" + std::to_wstring(line.elapsedMs) +
                     L"ms " + line.topic + L": " + line.text) + "\n";
    }
    for (const std::string& line : malformed) text += "(malformed) " + line + "\n";
    return text;
}

TraceFile ReadTraceFile(const std::wstring& path) {
    TraceFile trace;
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return trace;
    trace.exists = true;
    std::string_view rest = *bytes;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        // Every line is written whole, line feed included: a line without one is broken.
        std::string_view raw = rest.substr(0, end);
        std::optional<TraceLine> line = end == std::string_view::npos ? std::nullopt : ParseLine(FromUtf8(raw));
        if (line) trace.lines.push_back(std::move(*line));
        else trace.malformed.emplace_back(raw);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return trace;
}

}  // namespace orvo::test
