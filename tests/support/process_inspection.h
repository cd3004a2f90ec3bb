#pragma once
// What another process (of the test program's own architecture) holds right now:
// its loaded modules and its threads.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace orvo::test {

// File names of the modules loaded in the process, lower-cased ("gdiplus.dll").
// Throws HarnessError when the process cannot be listed.
std::vector<std::wstring> LoadedModuleNames(DWORD processId);

// Those of `modules` (names as LoadedModuleNames gives them) that only showing a box,
// a dialog or a window needs: the windowing, shell and COM libraries.
std::vector<std::wstring> WindowingLibraries(const std::vector<std::wstring>& modules);

// The number of threads the process has now.
int ThreadCount(DWORD processId);

// The memory the process has committed for itself (its private bytes) now. Throws
// HarnessError when the process cannot be queried.
std::size_t PrivateBytes(DWORD processId);

}  // namespace orvo::test
