#include "config/config_locations.h"

#include <windows.h>

#include "config/config_file_names.h"
#include "foundation/launcher_path.h"
#include "foundation/path_names.h"

namespace orvo {
namespace {

std::wstring ReadAppData() {
    std::wstring value(MAX_PATH, L'\0');
    DWORD length = GetEnvironmentVariableW(L"APPDATA", value.data(), static_cast<DWORD>(value.size()));
    // A longer value reports the size it needs; read it whole rather than use a
    // cut-off folder.
    if (length >= value.size()) {
        value.resize(length);
        length = GetEnvironmentVariableW(L"APPDATA", value.data(), static_cast<DWORD>(value.size()));
        if (length >= value.size()) {
            return {};
        }
    }
    value.resize(length);
    return value;
}

}  // namespace

std::optional<std::wstring> MainConfigPath() {
    const std::optional<std::wstring> launcherPath = GetLauncherPath();
    if (!launcherPath) {
        return std::nullopt;
    }
    return ConfigPathFor(*launcherPath);
}

std::optional<std::wstring> UserConfigPath(const std::wstring& sourcePath, const std::wstring& productName,
                                           const std::wstring& productCode, bool createFolders) {
    const std::wstring appData = ReadAppData();
    // Without APPDATA the path would start at the root of the current drive.
    if (appData.empty()) {
        return std::nullopt;
    }
    const UserConfigLocation location = UserConfigLocationFor(appData, productName, productCode, sourcePath);
    if (createFolders) {
        CreateDirectoryW(location.productFolder.c_str(), nullptr);
        CreateDirectoryW(location.codeFolder.c_str(), nullptr);
    }
    return location.file;
}

std::optional<std::wstring> PairConfigPath(const std::wstring& pairProduct) {
    if (pairProduct.empty()) {
        return std::nullopt;
    }
    // The profile API would look for a relative file name in the Windows folder; the
    // settings have made the pair absolute already, and ".." is resolved here.
    const std::optional<std::wstring> pairPath = FullPathName(pairProduct);
    if (!pairPath) {
        return std::nullopt;
    }
    return ConfigPathFor(*pairPath);
}

}  // namespace orvo
