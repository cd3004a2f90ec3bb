#include "foundation/trace_format.h"
#include "foundation/text_format.h"

namespace orvo {
namespace {

void AppendNumber(std::uint64_t value, int width, std::wstring& line) {
    std::wstring digits = UnsignedDecimalText(value);
    if (digits.size() < static_cast<std::size_t>(width)) line.append(width - digits.size(), L'0');
    line += digits;
}

void AppendEscaped(std::wstring_view text, std::wstring& line) {
    constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    for (wchar_t c : text) {
        if (c >= 0x20 && c != 0x7F) {
            line += c;
        } else if (c == L'\r') {
            line += L"\\r";
        } else if (c == L'\n') {
            line += L"\\n";
        } else if (c == L'\t') {
            line += L"\\t";
        } else {
            line += L"\\x";
            line += kHex[(c >> 4) & 0xF];
            line += kHex[c & 0xF];
        }
    }
}

void AppendLocalTime(const TraceStamp& stamp, std::wstring& line) {
    AppendNumber(stamp.year, 4, line);
    line += L'-';
    AppendNumber(stamp.month, 2, line);
    line += L'-';
    AppendNumber(stamp.day, 2, line);
    line += L' ';
    AppendNumber(stamp.hour, 2, line);
    line += L':';
    AppendNumber(stamp.minute, 2, line);
    line += L':';
    AppendNumber(stamp.second, 2, line);
    line += L'.';
    AppendNumber(stamp.milliseconds, 3, line);
}

}  // namespace

std::wstring FormatTraceLine(const TraceStamp& stamp, std::wstring_view topic, std::wstring_view text) {
    std::wstring line;
    line.reserve(64 + topic.size() + text.size());
    AppendLocalTime(stamp, line);
    line += L' ';
    line += stamp.process;
    line += L'[';
    AppendNumber(stamp.processId, 0, line);
    line += L"] +";
    AppendNumber(stamp.elapsedMs, 0, line);
    line += L"ms ";
    AppendEscaped(topic, line);
    line += L": ";
    AppendEscaped(text, line);
    line += L'\n';
    return line;
}

}  // namespace orvo
