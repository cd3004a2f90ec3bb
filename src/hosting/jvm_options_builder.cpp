// CJvmHost::BuildOptions: from the configuration to the VM's option strings.
#include <windows.h>

#include "config/config_keys.h"
#include "config/config_locations.h"
#include "config/layered_config.h"
#include "config/setting_compare.h"
#include "foundation/command_line.h"
#include "foundation/error_box.h"
#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/text_format.h"
#include "discovery/runtime_release.h"
#include "foundation/path_text.h"
#include "foundation/trace.h"
#include "hosting/ansi_text.h"
#include "hosting/class_data_archive.h"
#include "hosting/class_path_rules.h"
#include "hosting/environment_rules.h"
#include "hosting/jvm_host.h"
#include "hosting/option_paths.h"
#include "hosting/vm_parameters.h"

namespace orvo {

namespace {

// GlobalMemoryStatusEx rather than GlobalMemoryStatus: the older call caps its figures
// at 4 GiB (and at 2 GiB for a process that is not large-address aware), which would
// turn a percentage of a larger machine's memory into a percentage of that cap.
MemoryFigures ReadMemoryFigures() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return {};
    return {status.ullTotalPhys, status.ullAvailVirtual};
}

std::vector<std::wstring> FindMatchNames(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &data));
    if (!search) return names;
    do {
        names.emplace_back(data.cFileName);
    } while (FindNextFileW(search.get(), &data));
    return names;
}

ClassPathServices FileSystemClassPathServices() {
    return {[](const std::wstring& text) { return ExpandEnvironment(text); }, &FindMatchNames, &FileExists};
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += (text.empty() ? L"" : L"\n") + line;
    return text;
}

// Expansion fails for texts beyond the system's 32K limit (a long class path); the
// option then goes to the VM as written rather than vanish.
std::wstring ExpandOrKeep(const std::wstring& text) {
    std::wstring expanded = ExpandEnvironment(text);
    return expanded.empty() ? text : expanded;
}

// The folder of the per-user configuration copy, made if need be; nullopt without
// APPDATA or when the folder cannot be made (a read-only profile, say).
std::optional<std::wstring> UserFolder(const CLayeredConfig& config, const std::wstring& launcherPath) {
    std::optional<std::wstring> userConfig =
        UserConfigPath(launcherPath, config.ReadString(kSectionProductInformation, kKeyProductName),
                       config.ReadString(kSectionProductInformation, kKeyProductCode), true);
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

void AppendCmdArguments(const CLayeredConfig& config, std::vector<std::wstring>& arguments) {
    std::wstring cmd = config.ReadString(kSectionApplication, kKeyCmd);
    if (cmd.empty()) return;
    for (std::wstring& piece : SplitCmdSetting(ExpandEnvironment(cmd))) {
        arguments.push_back(std::move(piece));
    }
}

}  // namespace

bool CJvmHost::BuildOptions(std::vector<std::wstring>& arguments) {
    std::optional<std::wstring> configPath = MainConfigPath();
    if (!configPath) return false;
    std::optional<std::wstring> launcherPath = GetLauncherPath();
    if (!launcherPath) return false;
    CLayeredConfig config(*configPath);
    bool embeddedJar = EqualsYesAnyCase(config.ReadString(kSectionApplication, kKeyEmbeddedJar));
    std::wstring setting = config.ReadString(kSectionClassPath, kKeyClassPath);
    if (!ClassPathNamesSomething(setting, *launcherPath, embeddedJar)) return false;
    std::wstring classPath = BuildClassPath(setting, *launcherPath, embeddedJar, FileSystemClassPathServices());
    if (classPath.empty()) {
        ShowErrorBox(ErrorBoxOwner(), LoadMessage(IDS_CLASS_PATH_MISSING));
        return true;
    }
    std::vector<std::wstring> working{L"-Djava.class.path=" + classPath};
    if (EqualsYesAnyCase(config.ReadString(kSectionJavaRuntime, kKeyClassDataCache))) {
        AppendClassDataCache(config, *launcherPath);
    }
    AppendVmParameters(config.ReadString(kSectionJavaRuntime, kKeyVirtualMachineParameters), working);
    for (const std::wstring& option : working) {
        if (!AppendOption(ExpandOrKeep(option))) return false;
    }
    ReadStreamSettings(config);
    AppendCmdArguments(config, arguments);
    return true;
}

// A class path whose every entry is missing would start a runtime that can only fail
// to find the main class; the user is told which files are missing instead. The
// executable itself carries the application when it has an embedded jar.
bool CJvmHost::ClassPathNamesSomething(const std::wstring& setting, const std::wstring& launcherPath,
                                       bool embeddedJar) {
    if (embeddedJar) return true;
    std::vector<std::wstring> missing = MissingClassPathEntries(setting, launcherPath, FileSystemClassPathServices());
    if (missing.empty()) return true;
    ShowErrorBoxWithText(ErrorBoxOwner(), LoadMessage(IDS_CLASS_PATH_ENTRIES_MISSING), JoinLines(missing));
    return false;
}

bool CJvmHost::AppendOption(std::wstring_view option, const std::function<bool(const std::wstring&)>& mayStayDamaged) {
    OptionPathServices services{&RepresentableInThreadAnsi, &ShortPathName, mayStayDamaged};
    RepresentedOption represented = RepresentOptionPaths(option, services);
    if (!represented.unrepresentablePath.empty()) {
        ShowErrorBoxWithText(ErrorBoxOwner(), LoadMessage(IDS_PATH_NOT_REPRESENTABLE), represented.unrepresentablePath);
        return false;
    }
    optionList.Append(represented.option);
    return true;
}

// Before the VM parameters, so that an -Xshare or archive option written there wins.
// Whatever stands in the way leaves the cache out and the start goes on: the archive
// only makes starts faster.
void CJvmHost::AppendClassDataCache(const CLayeredConfig& config, const std::wstring& launcherPath) {
    std::optional<std::wstring> version = ReadReleaseVersion(WithTrailingBackslash(RuntimeHomeFolder(jvmPath)));
    std::optional<std::wstring> folder = version ? UserFolder(config, launcherPath) : std::nullopt;
    std::vector<std::wstring> options;
    std::wstring archive;
    if (folder) {
        archive = *folder + L"\\" + ClassDataArchiveName(launcherPath, *version);
        options = ClassDataArchiveOptions(*version, archive);
    }
    if (TraceEnabled()) {
        Trace(L"cds", options.empty() ? L"no class-data archive (runtime version " + version.value_or(L"unknown") +
                                            (folder ? L")" : L", or no per-user folder)")
                                      : L"archive " + archive);
    }
    if (!options.empty()) ReadyArchiveFile(archive);
    OptionPathServices services{&RepresentableInThreadAnsi, &ShortPathName, {}};
    // Both options or neither: the switch alone would have the VM complain.
    std::vector<std::wstring> represented;
    for (const std::wstring& option : options) {
        RepresentedOption result = RepresentOptionPaths(option, services);
        if (!result.unrepresentablePath.empty()) return;
        represented.push_back(std::move(result.option));
    }
    for (const std::wstring& option : represented) optionList.Append(option);
}

void CJvmHost::AppendVmParameters(const std::wstring& setting, std::vector<std::wstring>& working) {
    std::optional<std::uint32_t> stackSize;
    for (std::wstring& option : ProcessVmParameters(setting, ReadMemoryFigures(), stackSize)) {
        working.push_back(std::move(option));
    }
    if (stackSize) threadStackSize = *stackSize;
}

void CJvmHost::ReadStreamSettings(const CLayeredConfig& config) {
    outputFile = config.ReadString(kSectionApplication, kKeyOutputFile);
    if (!outputFile.empty()) outputFile = ExpandEnvironment(outputFile);
    if (config.ReadString(kSectionApplication, kKeyOutputAppend) == L"yes") outputAppend = true;
    errorFile = config.ReadString(kSectionApplication, kKeyErrorFile);
    if (!errorFile.empty()) errorFile = ExpandEnvironment(errorFile);
    if (config.ReadString(kSectionApplication, kKeyErrorAppend) == L"yes") errorAppend = true;
}

}  // namespace orvo
