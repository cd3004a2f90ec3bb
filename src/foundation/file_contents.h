#pragma once
// Reading a small file whole, and replacing a file so that a failure at any point
// leaves the old one whole.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

struct FileContents {
    bool exists = false;  // false: no such file (bytes is empty)
    std::string bytes;
};

// The whole file when it has at most maxBytes; {exists = false} when there is no
// file; nullopt when it is larger or cannot be read. Paths of any length.
std::optional<FileContents> ReadFileContents(const std::wstring& path, std::uint64_t maxBytes);

// Gives the file exactly these bytes, creating it if needed. The bytes go into a new
// file in the same folder, written through to the disk, which then takes the old
// file's place (keeping its attributes and security), so the old file is never
// changed in place. A read-only file is not replaced. False on any failure, after
// which the new file is gone. Paths of any length.
bool ReplaceFileContents(const std::wstring& path, std::string_view bytes);

}  // namespace orvo
