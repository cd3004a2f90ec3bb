#pragma once
// Remembers the Java runtime folder the user chose, as "JRE Path", for this launcher
// and its paired launcher.
#include <string>

#include "config/launcher_settings.h"

namespace orvo {

// Outside service mode writes the per-user copies (their folders created as needed)
// of the launcher's and, when "Pair Product" is set, the paired launcher's
// configuration; in service mode writes the two main configuration files instead.
// Writes nothing when the launcher's configuration cannot be located. Write
// failures are silent.
void WriteBackJrePath(const std::wstring& folder, const LauncherSettings& settings);

// The same for the launcher at launcherPath.
void WriteBackJrePathFor(const std::wstring& launcherPath, const std::wstring& folder,
                         const LauncherSettings& settings);

}  // namespace orvo
