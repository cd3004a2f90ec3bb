#pragma once
// Where the launcher's configuration files are on this machine.
#include <optional>
#include <string>

namespace orvo {

// The launcher's own path with the text after the last "." of its file name replaced
// by "ini". nullopt when the launcher path cannot be obtained (the module-path box
// has been shown) or its file name has no ".".
std::optional<std::wstring> MainConfigPath();

// %APPDATA%\<product name without \?"|><:/*>\<product code>\<file name of sourcePath>.ini.
// With createFolders, both folders are created as needed (failures are ignored).
// nullopt when APPDATA is not set or empty: a per-user copy then does not exist.
std::optional<std::wstring> UserConfigPath(const std::wstring& sourcePath, const std::wstring& productName,
                                           const std::wstring& productCode, bool createFolders);

// The paired launcher's configuration file: pairProduct (as the settings hold it,
// absolute) in its full form, with its extension replaced by "ini". nullopt when
// pairProduct is empty or its file name has no ".".
std::optional<std::wstring> PairConfigPath(const std::wstring& pairProduct);

}  // namespace orvo
