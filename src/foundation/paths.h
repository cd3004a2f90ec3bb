#pragma once
// File-system helpers on UTF-16 Windows paths, shared by every part of the launcher.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "foundation/path_text.h"
#include "foundation/unique_handle.h"

namespace orvo {

// Full path of the launcher executable, whatever its length; read on the first call
// and kept. When it cannot be read, the first call shows the "failed to get the
// module path" box (owned by the splash window, if any), and every call returns nullopt.
std::optional<std::wstring> GetLauncherPath();

// The full path the system gives a loaded module, whatever its length; nullopt (with
// the last error set) when it cannot be read.
std::optional<std::wstring> ModuleFileName(HMODULE module);

// The launcher's folder (GetLauncherPath up to its last "", without it), or nullopt.
std::optional<std::wstring> GetLauncherFolder();

// The full path GetFullPathNameW makes of `path` (against the current folder for a
// relative one; "." and ".." resolved), or nullopt when it fails.
std::optional<std::wstring> FullPathName(const std::wstring& path);

// True when FindFirstFileW finds at least one match for the path or pattern.
bool FileExists(const std::wstring& pathOrPattern);

// True for a drive ("C:...") or UNC ("\\...") path that exists; relative paths never do.
bool AbsolutePathExists(const std::wstring& path);

// Paths of 260 units and more are made full (against the current folder) and get the
// "\\?\" or "\\?\UNC\" prefix; others are unchanged.
std::wstring ToLongPathForm(const std::wstring& path);

// Creates every folder leading to a file (never the file's own name).
// Returns 0 or the system error code of the failure; after a failure the folders
// this call created are removed again (those that existed before stay).
DWORD CreateParentDirectories(const std::wstring& filePath);

// A name for `path` that APIs limited to the classic 260 units accept (the profile
// functions are): the path itself when it is short, else its short (8.3) form, or,
// for a file that does not exist yet, its folder's short form plus the file name.
// Returns the path unchanged when no shorter form can be had.
std::wstring ClassicLengthPath(const std::wstring& path);

// The short (8.3) form of an existing file or folder, without the extended-length
// prefix; the long form for the parts that have no short name. nullopt when it does
// not exist (or the system cannot say).
std::optional<std::wstring> ShortPathName(const std::wstring& path);

// Expands %NAME% references; undefined names stay as written.
std::wstring ExpandEnvironment(const std::wstring& text);

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
