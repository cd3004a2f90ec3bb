#pragma once
// File-system helpers on UTF-16 Windows paths: whether a file exists, making the
// folders that lead to one, and searching a folder.
#include <windows.h>

#include <string>

#include "foundation/path_text.h"
#include "foundation/unique_handle.h"

namespace orvo {

// True when the path names a file or folder, or a pattern (with * or ?) matches one.
bool FileExists(const std::wstring& pathOrPattern);

// True when the path names a folder.
bool FolderExists(const std::wstring& path);

// True for a drive ("C:...") or UNC ("\\...") path that exists; relative paths never do.
bool AbsolutePathExists(const std::wstring& path);

// Creates every folder leading to a file (never the file's own name).
// Returns 0 or the system error code of the failure; after a failure the folders
// this call created are removed again (those that existed before stay).
DWORD CreateParentDirectories(const std::wstring& filePath);

// One FindFirstFileW search that also remembers the searched folder.
class FileFinder {
public:
    // Starts a new search (closing the previous one). True when something matches.
    bool FindFile(const std::wstring& pattern = L"*.*");
    bool found() const noexcept { return found_; }
    // Full path of the searched folder, without a trailing separator.
    const std::wstring& root() const noexcept { return root_; }
    const WIN32_FIND_DATAW& current() const noexcept { return data_; }

private:
    UniqueFindHandle search_;
    WIN32_FIND_DATAW data_{};
    bool found_ = false;
    std::wstring root_;
};

}  // namespace orvo
