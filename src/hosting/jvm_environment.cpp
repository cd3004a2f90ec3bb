// CJvmHost::PrepareEnvironment: what the JVM library, the Java program and its child
// processes find in the process environment.
#include "foundation/path_text.h"
#include "foundation/paths.h"
#include "hosting/environment_rules.h"
#include "hosting/jvm_host.h"

namespace orvo {

void CJvmHost::PrepareEnvironment(const std::wstring& jvmLibraryPath, const std::wstring& libraryPathSetting,
                                  const std::wstring& systemPathSetting) {
    std::wstring runtimeHome = RuntimeHomeFolder(jvmLibraryPath);
    SetEnvironmentVariableW(L"ORVO_JVM_PATH", jvmLibraryPath.c_str());
    SetEnvironmentVariableW(L"ORVO_JVM_HOME", runtimeHome.c_str());
    if (!libraryPathSetting.empty()) {
        // Expanded before Path changes below, so %Path% is the search path as it was.
        std::wstring libraryPath =
            ExpandEnvironment(ComposeJavaLibraryPath(libraryPathSetting, GetLauncherFolder().value_or(L""), runtimeHome));
        optionList.Append(L"-Djava.library.path=" + libraryPath);
    }
    std::wstring searchPath = ExpandEnvironment(ComposeSearchPath(systemPathSetting, RuntimeBinFolder(jvmLibraryPath)));
    // An expansion beyond the system's limit comes back empty; an empty Path would
    // hide every program and library from the Java program.
    if (!searchPath.empty()) SetEnvironmentVariableW(L"Path", searchPath.c_str());
}

}  // namespace orvo
