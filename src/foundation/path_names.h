#pragma once
// The other names the system gives a path (full, short, extended-length, within the
// classic length) and the expansion of environment references in path settings.
#include <optional>
#include <string>

namespace orvo {

// The full path GetFullPathNameW makes of `path` (against the current folder for a
// relative one; "." and ".." resolved), or nullopt when it fails.
std::optional<std::wstring> FullPathName(const std::wstring& path);

// Paths of 260 units and more are made full (against the current folder) and get the
// "\\?\" or "\\?\UNC\" prefix; others are unchanged.
std::wstring ToLongPathForm(const std::wstring& path);

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

}  // namespace orvo
