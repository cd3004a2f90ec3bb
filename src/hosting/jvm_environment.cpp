// CJvmHost::PrepareEnvironment: what the JVM library, the Java program and its child
// processes find in the process environment.
#include <algorithm>
#include <vector>

#include "foundation/launcher_path.h"
#include "foundation/path_names.h"
#include "foundation/path_text.h"
#include "hosting/environment_rules.h"
#include "hosting/jvm_host.h"

namespace orvo {

namespace {

std::vector<std::wstring> SearchPathFolders() {
    std::wstring searchPath = ExpandEnvironment(L"%Path%");
    std::vector<std::wstring> folders;
    std::size_t start = 0;
    for (std::size_t end; (end = searchPath.find(L';', start)) != std::wstring::npos; start = end + 1) {
        folders.push_back(searchPath.substr(start, end - start));
    }
    folders.push_back(searchPath.substr(start));
    return folders;
}

}  // namespace

bool CJvmHost::PrepareEnvironment(const std::wstring& jvmLibraryPath, const std::wstring& libraryPathSetting,
                                  const std::wstring& systemPathSetting) {
    std::wstring runtimeHome = RuntimeHomeFolder(jvmLibraryPath);
    SetEnvironmentVariableW(L"ORVO_JVM_PATH", jvmLibraryPath.c_str());
    SetEnvironmentVariableW(L"ORVO_JVM_HOME", runtimeHome.c_str());
    bool optionAppended = true;
    if (!libraryPathSetting.empty()) {
        // Expanded before Path changes below, so %Path% is the search path as it was.
        std::wstring libraryPath =
            ExpandEnvironment(ComposeJavaLibraryPath(libraryPathSetting, GetLauncherFolder().value_or(L""), runtimeHome));
        // A folder of the user's own search path that the code page cannot name is no
        // reason to refuse the application; it was never the application's folder.
        std::vector<std::wstring> userFolders = SearchPathFolders();
        optionAppended = AppendOption(L"-Djava.library.path=" + libraryPath, [&](const std::wstring& folder) {
            return std::find(userFolders.begin(), userFolders.end(), folder) != userFolders.end();
        });
    }
    std::wstring searchPath = ExpandEnvironment(ComposeSearchPath(systemPathSetting, RuntimeBinFolder(jvmLibraryPath)));
    // An expansion beyond the system's limit comes back empty; an empty Path would
    // hide every program and library from the Java program.
    if (!searchPath.empty()) SetEnvironmentVariableW(L"Path", searchPath.c_str());
    return optionAppended;
}

}  // namespace orvo
