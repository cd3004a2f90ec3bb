#pragma once
// How the "Class Path" setting becomes the VM's class path: absolute entries are kept as
// written, relative and wildcard entries are resolved against the launcher's folder and
// replaced by what they match. Pure, no <windows.h>: the file system and the environment
// are reached through ClassPathServices.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

struct ClassPathServices {
    // %NAME% expansion of one entry; undefined names stay as written.
    std::function<std::wstring(const std::wstring&)> expand;
    // File names (no folder) of everything a pattern matches, in file-system order;
    // folders included. Empty when nothing matches.
    std::function<std::vector<std::wstring>(const std::wstring&)> findNames;
    // True when a file or folder exists at the path.
    std::function<bool(const std::wstring&)> exists;
};

// True for "X:..." and "\\..." entries of at least two characters.
bool IsAbsoluteClassPathPiece(std::wstring_view piece);

// The search pattern of an entry that needs expanding: a relative entry prefixed with the
// launcher's folder and a backslash; an absolute (wildcard) entry unchanged.
std::wstring ClassPathSearchPattern(std::wstring_view piece, std::wstring_view launcherPath);

// Full path of one match of `pattern`: the pattern's folder part followed by the name.
std::wstring ClassPathMatchPath(std::wstring_view pattern, std::wstring_view fileName);

// The class path for `setting` (entries separated by ';'); every entry of the result ends
// with ';'. With `embeddedJar`, the launcher itself comes first. Empty when nothing remains.
std::wstring BuildClassPath(std::wstring_view setting, std::wstring_view launcherPath,
                            bool embeddedJar, const ClassPathServices& services);

// Where the entries of `setting` were looked for (an absolute entry as written, a
// relative or wildcard one as its search pattern), in order, when the setting names at
// least one entry and nothing any of them names exists; empty otherwise.
std::vector<std::wstring> MissingClassPathEntries(std::wstring_view setting, std::wstring_view launcherPath,
                                                  const ClassPathServices& services);

}  // namespace orvo
