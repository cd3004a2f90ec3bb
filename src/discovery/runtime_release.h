#pragma once
// Reading the version a Java runtime's "release" file names.
#include <optional>
#include <string>

namespace orvo {

// The JAVA_VERSION text of home + "release" (`home` ends in "\"); nullopt when the
// file is missing, unreadable or names no version. The file is written by whoever
// installed the runtime: one of more than 64 KiB is not read at all.
std::optional<std::wstring> ReadReleaseVersion(const std::wstring& home);

}  // namespace orvo
