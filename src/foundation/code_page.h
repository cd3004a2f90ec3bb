#pragma once
// The code page of the process's narrow ("ANSI") text.

namespace orvo {

// True when the process's code page is UTF-8: its manifest sets activeCodePage to
// UTF-8 (Windows 10 1903 and later), or the system's own code page for programs is.
bool ProcessCodePageIsUtf8();

}  // namespace orvo
