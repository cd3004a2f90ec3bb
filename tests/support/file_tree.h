#pragma once
// File-system work for the harness on paths of any length: every call goes
// through the "\\?\" form, so folders deeper than 260 characters work too.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvo::test {

// The full path (GetFullPathNameW: relative parts, "." and ".." resolved, "/" made
// "\\"), of any length. Throws HarnessError on failure.
std::wstring FullPathOf(const std::wstring& path);

// "\\?\" form of the path, made full first (relative parts and ".." resolved);
// a path that has the prefix already is unchanged. Throws HarnessError on failure.
std::wstring ExtendedLengthPath(const std::wstring& path);

// Creates the folder and every missing folder above it; throws HarnessError on failure.
void CreateFolderTree(const std::wstring& folder);

// Deletes the folder and everything below it (read-only files too). True when
// nothing is left; a missing folder counts as removed.
bool RemoveFolderTree(const std::wstring& folder);

// Creates or replaces the file with exactly these bytes; throws HarnessError on failure.
void WriteFileBytes(const std::wstring& path, std::string_view bytes);

// A file of `size` bytes that begins with `head` and holds zeros after it, made
// without writing them (sparse where the file system allows), so that files of
// gigabytes cost no time. Throws HarnessError on failure.
void WriteSparseFile(const std::wstring& path, std::string_view head, std::uint64_t size);

// The whole file, or nullopt when it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::wstring& path);

// Copies a file (replacing the target); throws HarnessError on failure.
void CopyFileTo(const std::wstring& source, const std::wstring& target);

// True when the file or folder exists.
bool PathExists(const std::wstring& path);

}  // namespace orvo::test
