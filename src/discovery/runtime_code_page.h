#pragma once
// Whether a Java runtime can run in this process when its code page is UTF-8. Such a
// process hands the runtime its paths and options as UTF-8; a runtime that reads its
// file names in the code page of the system's locale instead (every one before the
// fix of Java 19, backported to 17.0.7 at the latest) turns them into different names.
#include <optional>
#include <string>

namespace orvo {

// Why a runtime whose release file names `releaseVersion` (nullopt: it has none, or
// names no version) cannot take UTF-8 paths; empty when it can. Pure.
std::wstring Utf8CodePageRefusal(const std::optional<std::wstring>& releaseVersion);

// Why the runtime in `home` (ending in "\") cannot run in this process: empty when it
// can, and always when the process's code page is not UTF-8.
std::wstring ProcessCodePageRefusal(const std::wstring& home);

}  // namespace orvo
