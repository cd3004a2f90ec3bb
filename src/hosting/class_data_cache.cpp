#include "hosting/class_data_cache.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "config/config_locations.h"
#include "discovery/runtime_release.h"
#include "foundation/path_names.h"
#include "foundation/path_text.h"
#include "foundation/trace.h"
#include "foundation/unique_handle.h"
#include "hosting/ansi_text.h"
#include "hosting/class_data_archive.h"
#include "hosting/environment_rules.h"
#include "hosting/option_paths.h"

namespace orvo {

namespace {

// The folder of the per-user configuration copy, made if need be; nullopt without
// APPDATA or when the folder cannot be made (a read-only profile, say).
std::optional<std::wstring> UserFolder(const LauncherSettings& settings, const std::wstring& launcherPath) {
    std::optional<std::wstring> userConfig =
        UserConfigPath(launcherPath, settings.productName, settings.productCode, true);
    if (!userConfig) return std::nullopt;
    std::wstring folder = FolderOf(*userConfig);
    DWORD attributes = GetFileAttributesW(ToLongPathForm(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return folder;
}

// Readies an archive file left by an earlier start for the runtime. The runtime makes
// its archive read-only, and on Windows it then cannot replace the file when it is
// stale: that ends the process with 1 as the VM exits, whatever the program returned.
// A file that is no archive at all would turn sharing off for good (see
// LooksLikeClassDataArchive), so it goes and the runtime writes a new one.
void ReadyArchiveFile(const std::wstring& archive) {
    const std::wstring path = ToLongPathForm(archive);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    char head[4] = {};
    DWORD read = 0;
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file && ReadFile(file.get(), head, sizeof head, &read, nullptr) &&
        LooksLikeClassDataArchive(std::string_view(head, read))) {
        return;
    }
    file.reset();
    DeleteFileW(path.c_str());
}

void TraceArchive(const std::vector<std::wstring>& options, const std::optional<std::wstring>& version,
                  bool haveFolder, const std::wstring& archive) {
    if (!TraceEnabled()) return;
    Trace(L"cds", options.empty() ? L"no class-data archive (runtime version " + version.value_or(L"unknown") +
                                        (haveFolder ? L")" : L", or no per-user folder)")
                                  : L"archive " + archive);
}

}  // namespace

std::vector<std::wstring> ClassDataCacheOptions(const std::wstring& jvmPath, const std::wstring& launcherPath,
                                                const LauncherSettings& settings) {
    std::optional<std::wstring> version = ReadReleaseVersion(WithTrailingBackslash(RuntimeHomeFolder(jvmPath)));
    std::optional<std::wstring> folder = version ? UserFolder(settings, launcherPath) : std::nullopt;
    std::vector<std::wstring> options;
    std::wstring archive;
    if (folder) {
        archive = *folder + L"\\" + ClassDataArchiveName(launcherPath, *version);
        options = ClassDataArchiveOptions(*version, archive);
    }
    TraceArchive(options, version, folder.has_value(), archive);
    if (!options.empty()) ReadyArchiveFile(archive);
    OptionPathServices services{&RepresentableInThreadAnsi, &ShortPathName, {}};
    // Both options or neither: the switch alone would have the VM complain.
    std::vector<std::wstring> represented;
    for (const std::wstring& option : options) {
        RepresentedOption result = RepresentOptionPaths(option, services);
        if (!result.unrepresentablePath.empty()) return {};
        represented.push_back(std::move(result.option));
    }
    return represented;
}

}  // namespace orvo
