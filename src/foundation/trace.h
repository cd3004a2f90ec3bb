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

// Writes one line "topic: text" when the trace is on. Safe on any thread. The topic
// is a literal, taken as a pointer: on x64 a view is passed through a copy on the
// stack, which cost every one of the many call sites.
void Trace(const wchar_t* topic, std::wstring_view text);

}  // namespace orvo
