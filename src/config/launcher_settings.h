#pragma once
// The configuration values read once at start; read-only afterwards, so the
// threads that read them later need no lock.
#include <cstdint>
#include <string>
#include <vector>

#include "config/jvm_search_prefs.h"
#include "config/service_settings.h"
#include "foundation/java_version.h"

namespace orvo {

// [Display], read with the plain reader: the launcher's splash screen.
struct SplashSettings {
    std::wstring imagePath;     // "Splash Screen", as written; empty: no splash
    std::wstring shadowSetting; // "Splash Screen Shadow", as written
    bool preferNative = false;  // "Preffer Native Splash Screen" is "Yes" in any letter case
};

// What the VM's options, its standard streams and the Cmd arguments are made of. The
// texts are as written: their environment references are expanded when the options
// are built, after the launcher has set its own variables.
struct VmSettings {
    std::wstring classPath;       // [Class Path] "Class Path"
    bool embeddedJar = false;     // "Embedded Jar" is "Yes" in any letter case
    bool classDataCache = false;  // "Class Data Cache" is "Yes" in any letter case
    std::wstring vmParameters;    // "Virtual Machine Parameters"
    std::wstring outputFile;      // "Output File"
    bool outputAppend = false;    // "Output Append" is exactly "yes"
    std::wstring errorFile;       // "Error File"
    bool errorAppend = false;     // "Error Append" is exactly "yes"
    std::wstring cmd;             // "Cmd"
};

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
    // "Failure Check": show the uncaught-exception dialog.
    bool showExceptionDialog = false;
    // "Service Stop Method": the static method a service calls to ask the Java program
    // to stop; empty: System.exit(0). "Service Stop Timeout": how long it then waits.
    std::wstring serviceStopMethod;
    std::uint32_t serviceStopTimeoutSeconds = kDefaultServiceStopTimeoutSeconds;
    // "Single Instance" is exactly "yes" ("Yes" leaves the mode off).
    bool singleInstance = false;
    SplashSettings splash;
    VmSettings vm;
};

}  // namespace orvo
