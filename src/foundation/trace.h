#pragma once
// The trace a user asks for to learn why a launch went as it did: with the
// environment variable ORVO_TRACE set to a file path, every launcher process
// appends one line per step to that file; with ORVO_TRACE=1 it writes them to its
// standard error. Without the variable nothing is written and each call returns
// at once.
//
// Lines are UTF-8, written whole with one write each (so the lines of the paired
// launcher, which inherits the variable, and of other threads never mix inside a
// line), and carry the local time, the process and the time since it started
// (see FormatTraceLine).
#include <string_view>

namespace orvo {

// Reads ORVO_TRACE and opens the file. Called once, first thing, before any other
// thread exists. A file that cannot be opened leaves the trace off.
void StartTrace();

// True while a trace is written; callers test it before they build costly text.
bool TraceEnabled() noexcept;

// Writes one line "topic: text" when the trace is on. Safe on any thread.
void Trace(std::wstring_view topic, std::wstring_view text);

}  // namespace orvo
