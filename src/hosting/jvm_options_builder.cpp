// CJvmHost::BuildOptions: from the settings to the VM's option strings.
#include <windows.h>

#include "foundation/command_line.h"
#include "foundation/error_box.h"
#include "foundation/launcher_path.h"
#include "foundation/messages.h"
#include "foundation/path_names.h"
#include "foundation/paths.h"
#include "hosting/ansi_text.h"
#include "hosting/class_data_cache.h"
#include "hosting/class_path_rules.h"
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

void AppendCmdArguments(const std::wstring& cmd, std::vector<std::wstring>& arguments) {
    if (cmd.empty()) return;
    for (std::wstring& piece : SplitCmdSetting(ExpandEnvironment(cmd))) {
        arguments.push_back(std::move(piece));
    }
}

}  // namespace

bool CJvmHost::BuildOptions(std::vector<std::wstring>& arguments) {
    std::optional<std::wstring> launcherPath = GetLauncherPath();
    if (!launcherPath) return false;
    const VmSettings& vm = settings.vm;
    if (!ClassPathNamesSomething(vm.classPath, *launcherPath, vm.embeddedJar)) return false;
    std::wstring classPath = BuildClassPath(vm.classPath, *launcherPath, vm.embeddedJar, FileSystemClassPathServices());
    if (classPath.empty()) {
        ShowErrorBox(ErrorBoxOwner(), LoadMessage(IDS_CLASS_PATH_MISSING));
        return true;
    }
    std::vector<std::wstring> working{L"-Djava.class.path=" + classPath};
    // Before the VM parameters, so that an -Xshare or archive option written there wins.
    if (vm.classDataCache) {
        for (const std::wstring& option : ClassDataCacheOptions(jvmPath, *launcherPath, settings, classPath)) {
            optionList.Append(option);
        }
    }
    AppendVmParameters(vm.vmParameters, working);
    for (const std::wstring& option : working) {
        if (!AppendOption(ExpandOrKeep(option))) return false;
    }
    TakeStreamSettings();
    AppendCmdArguments(vm.cmd, arguments);
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

void CJvmHost::AppendVmParameters(const std::wstring& setting, std::vector<std::wstring>& working) {
    std::optional<std::uint32_t> stackSize;
    for (std::wstring& option : ProcessVmParameters(setting, ReadMemoryFigures(), stackSize)) {
        working.push_back(std::move(option));
    }
    if (stackSize) xssStackSize = *stackSize;
}

void CJvmHost::TakeStreamSettings() {
    const VmSettings& vm = settings.vm;
    if (!vm.outputFile.empty()) outputFile = ExpandEnvironment(vm.outputFile);
    outputAppend = vm.outputAppend;
    if (!vm.errorFile.empty()) errorFile = ExpandEnvironment(vm.errorFile);
    errorAppend = vm.errorAppend;
}

}  // namespace orvo
