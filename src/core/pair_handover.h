#pragma once
// Hands a whole launch over to the paired launcher executable.
#include <string>

namespace orvo {

// Starts `pairProduct` with this process's own command line, its standard handles
// (when it was given some) and its show state; no other handle goes with it. With
// `waitForExitCode` returns the child's exit code (0 when it cannot be read);
// otherwise returns 0 at once and the child runs on. When the child cannot be
// started, shows a box naming it and the system's reason and returns -1. The console
// kind of launcher always waits, and leaves Ctrl+C and Ctrl+Break to the child, which
// shares its console.
int HandOverToPair(const std::wstring& pairProduct, bool waitForExitCode);

}  // namespace orvo
