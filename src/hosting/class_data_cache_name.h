#pragma once
// The name of a class-data cache file: it carries a fingerprint of what the cache was
// made from, so that after an update (another runtime, a changed jar) the next start
// makes a new one under a new name and the launcher removes the old. Pure.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hosting/class_data_archive.h"

namespace orvo {

// One entry of the class path as the file system saw it.
struct ClassPathEntryStamp {
    std::wstring path;
    bool exists = false;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;  // FILETIME ticks
};

// The entries of a class path text (";"-separated, empty entries left out).
std::vector<std::wstring> ClassPathEntries(std::wstring_view classPath);

// 16 lowercase hex digits standing for the runtime (its version and JVM library) and
// the class path's entries with their sizes and times.
std::wstring ClassDataFingerprint(std::wstring_view runtimeVersion, std::wstring_view jvmPath,
                                  const std::vector<ClassPathEntryStamp>& classPath);

// The cache's file name: the launcher's file name without its extension, the
// fingerprint and the runtime's version ("MyApp64-0123456789abcdef-21.0.5.jsa"), so
// that two launchers of one product, and two runtimes, never share one. Characters
// that do not belong in a file name become "_"; a version text longer than a real
// one is cut.
std::wstring ClassDataCacheName(std::wstring_view launcherPath, std::wstring_view fingerprint,
                                std::wstring_view runtimeVersion, ClassDataCacheKind kind);

// True when fileName is a cache file (archive, AOT cache or recorded configuration)
// of this launcher, or its archive as named before fingerprints, other than
// currentName: one left by an earlier version of the application or runtime.
bool IsOutdatedClassDataCache(std::wstring_view fileName, std::wstring_view launcherPath,
                              std::wstring_view currentName);

// The pattern that finds the candidates in the cache folder.
std::wstring ClassDataCachePattern(std::wstring_view launcherPath);

}  // namespace orvo
