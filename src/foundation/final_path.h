#pragma once
// A file's one canonical path, so that two spellings of the same file (letter case,
// "..", short names, a path through a link) can be told to be the same file.
#include <windows.h>

#include <optional>
#include <string>

namespace orvo {

// The final path the system keeps for the file at `path` (GetFinalPathNameByHandleW,
// "\\?\" form); nullopt for a folder, or when it cannot be opened or read.
std::optional<std::wstring> CanonicalPath(const std::wstring& path);

// The canonical path of the executable a running process was started from; nullopt
// when the process cannot be queried (it has ended, or access is denied).
std::optional<std::wstring> CanonicalImagePath(HANDLE process);

// True when both are present and equal without regard to letter case (ordinal, as
// the file system compares names).
bool SameCanonicalPath(const std::optional<std::wstring>& first, const std::optional<std::wstring>& second);

}  // namespace orvo
