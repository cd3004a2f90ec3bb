#pragma once
// Whole-file reads and all-or-nothing writes, for paths given as UTF-8.
#include <string>

#include "byte_io.h"

namespace orvo::pack {

// Larger inputs are refused rather than read into memory.
inline constexpr std::uint64_t kMaxInputBytes = 1024ull * 1024 * 1024;

// The file's bytes. Throws PackError (file access) naming the file when it cannot be
// read or is larger than kMaxInputBytes.
Bytes ReadWholeFile(const std::string& path);

// Writes the bytes to a new file beside `path`, flushes it to the disk, then renames it
// to `path`: afterwards `path` is either complete or as it was, and no temporary file is
// left. `path` must be absent or a regular file that may be written; a link there is
// refused, never followed, and so are a folder, a device (on Windows also a device
// name such as NUL) and a read-only file. A replaced file's permissions stay (less
// set-user and set-group id; on Windows its hidden, system and archive marks); a new
// file may be executed (on systems that ask). Throws PackError (file access) on failure.
void WriteFileReplacing(const std::string& path, ByteSpan bytes);

}  // namespace orvo::pack
