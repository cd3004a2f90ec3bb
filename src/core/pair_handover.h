#pragma once
// Hands a whole launch over to the paired launcher executable.
#include <string>

namespace orvo {

// Starts `pairProduct` with this process's own command line. With `waitForExitCode`
// returns the child's exit code (0 when it could not be started or read); otherwise
// returns 0 at once and the child runs on.
int HandOverToPair(const std::wstring& pairProduct, bool waitForExitCode);

}  // namespace orvo
