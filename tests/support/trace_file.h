#pragma once
// Reading the trace a launcher writes with ORVO_TRACE set: every line taken apart
// into its fields, so that a test can look for the lines of one process and topic.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::test {

// "2026-01-05 12:04:05.123 App.exe[4321] +15ms topic: text"
struct TraceLine {
    std::wstring process;  // the launcher's file name
    unsigned long processId = 0;
    std::uint64_t elapsedMs = 0;
    std::wstring topic;
    std::wstring text;
};

struct TraceFile {
    bool exists = false;
    std::vector<TraceLine> lines;
    std::vector<std::string> malformed;  // lines (UTF-8) that do not have the form above

    // The lines of one process (by file name, any letter case), in file order.
    std::vector<const TraceLine*> Of(std::wstring_view process) const;
    // Index in `lines` of the first line of that process and topic whose text is
    // exactly `text`, or, with `prefix`, starts with it; nullopt when there is none.
    std::optional<std::size_t> Find(std::wstring_view process, std::wstring_view topic, std::wstring_view text,
                                    bool prefix = false) const;
    // Every line, for failure messages (UTF-8).
    std::string Text() const;
};

// The trace file at `path` (UTF-8); a missing file gives exists == false.
TraceFile ReadTraceFile(const std::wstring& path);

}  // namespace orvo::test
