#pragma once
// Pure text operations on Windows paths (backslash separators, drive letters, UNC
// and the "\\?\" prefixes). No file-system access; safe to fuzz and test natively.
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

inline constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";
inline constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
inline constexpr std::size_t kClassicMaxPath = 260;

// UNC in the shell's sense: "\\server..." or "\\?\UNC\...", but not "\\?\C:\...".
bool IsUncPath(std::wstring_view path);

// Paths of kClassicMaxPath units or more get the extended-length prefix.
std::wstring ToLongPathFormText(std::wstring_view path);

// Removes `count` trailing components, each cut at the last backslash.
std::wstring StripPathComponents(std::wstring path, int count);

// Everything before the last backslash (the folder without a trailing "\");
// the whole text when it has no backslash.
std::wstring FolderOf(std::wstring_view path);

// The folder with a "\" at its end (one is added when it has none).
std::wstring WithTrailingBackslash(std::wstring folder);

// Components of a file path as folder creation walks them: the root first (drive,
// "\\server", or the first relative component; kept even when empty so that
// "\a\f" walks "\a"), then every piece after it. The extended-length prefix stays
// on the root.
struct PathWalk {
    std::vector<std::wstring> components;
    bool unc = false;
};
PathWalk SplitPathForCreation(std::wstring_view path);

}  // namespace orvo
