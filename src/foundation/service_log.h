#pragma once
// Service mode: nobody can answer a window, so what the launcher would show in one
// goes to standard error and to the Windows event log instead.
#include <string>

namespace orvo {

// From now on the process reports as a service; `eventSource` names it in the event
// log. Called on the main thread before any other thread of the launcher exists.
void EnterServiceMode(std::wstring eventSource);
bool InServiceMode() noexcept;

// Writes the text with Windows line ends to standard error, when the process has
// one (UTF-8, or UTF-16 to a console), and to the Application event log as an error.
// Failures are silent: there is nowhere left to report them.
void ReportToServiceLog(const std::wstring& text);

}  // namespace orvo
