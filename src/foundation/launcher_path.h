#pragma once
// The launcher's own path, and the path of any loaded module.
#include <windows.h>

#include <optional>
#include <string>

namespace orvo {

// Full path of the launcher executable, whatever its length; read on the first call
// and kept. When it cannot be read, the first call shows the "failed to get the
// module path" box (owned by the splash window, if any), and every call returns nullopt.
std::optional<std::wstring> GetLauncherPath();

// The full path the system gives a loaded module, whatever its length; nullopt (with
// the last error set) when it cannot be read.
std::optional<std::wstring> ModuleFileName(HMODULE module);

// The launcher's folder (GetLauncherPath up to its last "\", without it), or nullopt.
std::optional<std::wstring> GetLauncherFolder();

}  // namespace orvo
