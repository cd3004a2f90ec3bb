#include "config/jre_path_write_back.h"

#include <optional>

#include "config/config_file.h"
#include "config/config_file_names.h"
#include "config/config_keys.h"
#include "config/config_locations.h"
#include "foundation/launcher_path.h"

namespace orvo {
namespace {

void WriteJrePathInto(const std::optional<std::wstring>& configPath, const std::wstring& folder) {
    if (configPath) {
        CConfigFile(*configPath).WriteString(kSectionJavaRuntime, kKeyJrePath, folder);
    }
}

}  // namespace

void WriteBackJrePath(const std::wstring& folder, const LauncherSettings& settings) {
    if (const std::optional<std::wstring> launcherPath = GetLauncherPath()) {
        WriteBackJrePathFor(*launcherPath, folder, settings);
    }
}

void WriteBackJrePathFor(const std::wstring& launcherPath, const std::wstring& folder,
                         const LauncherSettings& settings) {
    const std::optional<std::wstring> mainConfig = ConfigPathFor(launcherPath);
    if (!mainConfig) {
        return;
    }
    if (settings.serviceMode) {
        // A service usually runs under another account, so a per-user copy would not
        // be found by the next start; the shared files carry the choice.
        WriteJrePathInto(mainConfig, folder);
        WriteJrePathInto(PairConfigPath(settings.pairProduct), folder);
        return;
    }
    const std::wstring& name = settings.productName;
    const std::wstring& code = settings.productCode;
    WriteJrePathInto(UserConfigPath(launcherPath, name, code, true), folder);
    if (!settings.pairProduct.empty()) {
        WriteJrePathInto(UserConfigPath(settings.pairProduct, name, code, true), folder);
    }
}

}  // namespace orvo
