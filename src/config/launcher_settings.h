#pragma once
// The configuration values read once at start; read-only afterwards, so the
// threads that read them later need no lock.
#include <string>
#include <vector>

#include "foundation/java_version.h"
#include "config/jvm_search_prefs.h"

namespace orvo {

struct LauncherSettings {
    JvmSearchPrefs searchPrefs;
    std::wstring mainClass;  // "/"-separated, as JNI FindClass wants it
    VersionRange versionRange;
    bool serviceMode = false;
    std::wstring productName;
    std::wstring productCode;
    std::vector<std::wstring> preferredVersions;
    std::wstring jrePath;  // absolute, or made so against the launcher's folder; no trailing "\"
    std::wstring libraryPath;
    std::wstring systemPath;
    std::wstring pairProduct;  // absolute, or made so against the launcher's folder
    bool pairReturnCode = false;
    bool overrideWorkingDir = false;
    // "Command Line Quoting=windows": the command line is split by the Windows C
    // runtime's rules instead of the launcher's own (Cmd keeps the launcher's).
    bool windowsQuoting = false;
    // "Failure Check": show the uncaught-exception dialog. Copied into the hosting
    // state by the application object after loading.
    bool showExceptionDialog = false;
};

}  // namespace orvo
