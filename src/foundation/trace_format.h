#pragma once
// The text of one trace line. Pure, so that the format is tested apart from the
// writing (foundation/trace.h).
#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// When and where a line is written.
struct TraceStamp {
    int year = 0, month = 0, day = 0;  // local time
    int hour = 0, minute = 0, second = 0, milliseconds = 0;
    std::uint64_t elapsedMs = 0;  // since the process started
    std::wstring_view process;    // the launcher's file name
    std::uint32_t processId = 0;
};

// "2026-01-05 12:04:05.123 App.exe[4321] +15ms topic: text" and a line feed. Control
// characters of `topic` and `text` are written as \r, \n, \t or \xNN, so that every
// line is exactly one line whatever the text holds.
std::wstring FormatTraceLine(const TraceStamp& stamp, std::wstring_view topic, std::wstring_view text);

}  // namespace orvo
