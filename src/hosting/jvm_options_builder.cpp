// CJvmHost::BuildOptions: from the configuration to the VM's option strings.
#include <windows.h>

#include "config/config_keys.h"
#include "config/config_locations.h"
#include "config/layered_config.h"
#include "config/setting_compare.h"
#include "core/command_line.h"
#include "foundation/error_box.h"
#include "foundation/messages.h"
#include "foundation/paths.h"
#include "hosting/class_path_rules.h"
#include "hosting/jvm_host.h"
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
    return {[](const std::wstring& text) { return ExpandEnvironment(text); }, &FindMatchNames};
}

// Expansion fails for texts beyond the system's 32K limit (a long class path); the
// option then goes to the VM as written rather than vanish.
std::wstring ExpandOrKeep(const std::wstring& text) {
    std::wstring expanded = ExpandEnvironment(text);
    return expanded.empty() ? text : expanded;
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
    std::wstring classPath = BuildClassPath(config.ReadString(kSectionClassPath, kKeyClassPath), *launcherPath,
                                            embeddedJar, FileSystemClassPathServices());
    if (classPath.empty()) {
        ShowErrorBox(ErrorBoxOwner(), LoadMessage(IDS_CLASS_PATH_MISSING));
        return false;
    }
    std::vector<std::wstring> working{L"-Djava.class.path=" + classPath};
    AppendVmParameters(config.ReadString(kSectionJavaRuntime, kKeyVirtualMachineParameters), working);
    for (const std::wstring& option : working) optionList.Append(ExpandOrKeep(option));
    ReadStreamSettings(config);
    AppendCmdArguments(config, arguments);
    return true;
}

void CJvmHost::AppendVmParameters(const std::wstring& setting, std::vector<std::wstring>& working) {
    std::optional<std::uint32_t> stackSize;
    for (std::wstring& option : ProcessVmParameters(setting, ReadMemoryFigures(), stackSize)) {
        // A blank in front of the value (as a continuation section gives it) makes an
        // empty token; the VM would reject an empty option and fail to start.
        if (!option.empty()) working.push_back(std::move(option));
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
