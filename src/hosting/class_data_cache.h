#pragma once
// The application's per-user class-data archive ("Class Data Cache"): the runtime
// writes it on the first start and maps it on later ones, which start faster.
#include <string>
#include <vector>

#include "config/launcher_settings.h"

namespace orvo {

// The two options that have the runtime of jvmPath use (and, where missing, write) the
// archive of the launcher at launcherPath in the product's per-user folder, which is
// made if need be; an archive file that the runtime could not use is readied or
// removed first. Both options, with their paths in a form the ANSI code page holds,
// or none when anything stands in the way (no runtime version, no per-user folder,
// a path without such a form): the archive only makes starts faster.
std::vector<std::wstring> ClassDataCacheOptions(const std::wstring& jvmPath, const std::wstring& launcherPath,
                                                const LauncherSettings& settings);

}  // namespace orvo
