#pragma once
// Commands of the machine wine runs on, for tools that exist only there: the
// Authenticode signing tool and the certificate maker of the signing tests. Wine
// starts host programs but gives no handle to wait on nor an exit code, so the
// command leaves its status in a file, which is polled.
#include <windows.h>

#include <string>

namespace orvo::test {

// True when the tests run under wine.
bool RunningUnderWine();

// The host's path of a Windows path (wine's drives mapped back). Throws HarnessError
// outside wine or when the path has no host form.
std::string HostPath(const std::wstring& windowsPath);

// Runs `command` with the host's /bin/sh; its output goes to `logPath` (a Windows
// path). Returns the command's exit status. Throws HarnessError outside wine, when the
// shell cannot start, or when no status arrives within the time limit.
int RunHostCommand(const std::string& command, const std::wstring& logPath, DWORD timeoutMs = 60000);

}  // namespace orvo::test
