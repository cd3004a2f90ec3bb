#include "config/settings_loader.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "config/config_file.h"
#include "config/config_file_names.h"
#include "config/config_keys.h"
#include "config/config_locations.h"
#include "config/jvm_search_settings.h"
#include "config/launcher_relative_path.h"
#include "config/layered_config.h"
#include "config/service_settings.h"
#include "config/setting_compare.h"
#include "foundation/error_box.h"
#include "foundation/launcher_path.h"
#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/service_log.h"
#include "foundation/text_format.h"
#include "foundation/trace.h"

namespace orvo {
namespace {

void TraceFile(std::wstring_view role, const std::wstring& path, std::wstring_view state) {
    if (TraceEnabled()) Trace(L"config", FillTemplate(L"%s %s: %s", {role, path, state}));
}

// A switch that "Yes" in any letter case turns on.
bool ReadYes(const CLayeredConfig& config, const wchar_t* section, const wchar_t* key) {
    return EqualsYesAnyCase(config.ReadString(section, key));
}

// A switch that only `keyword`, written exactly so, turns on (see EqualsExactly).
bool ReadExactly(const CLayeredConfig& config, const wchar_t* section, const wchar_t* key, const wchar_t* keyword) {
    return EqualsExactly(key, config.ReadString(section, key), keyword);
}

// Read as written, without a continuation section. An executable that carries its
// configuration may have no file beside it; its own product name and code then still
// name the folder of its per-user copy.
void ReadProductInformation(const CLayeredConfig& config, LauncherSettings& settings) {
    settings.productCode = config.ReadFileThenOverlay(kSectionProductInformation, kKeyProductCode);
    settings.productName = config.ReadFileThenOverlay(kSectionProductInformation, kKeyProductName);
}

void ReadVersionSettings(const CLayeredConfig& config, LauncherSettings& settings) {
    const std::wstring minimum = config.ReadString(kSectionJavaRuntime, kKeyMinimumVersion);
    const std::wstring maximum = config.ReadString(kSectionJavaRuntime, kKeyMaximumVersion);
    settings.versionRange = VersionRange::FromSettingTexts(minimum, maximum);
    settings.serviceMode = ReadExactly(config, kSectionApplication, kKeyApplicationType, kServiceApplicationType);
    settings.preferredVersions = SplitPreferredVersions(config.ReadString(kSectionJavaRuntime, kKeyPreferredVersions));
}

// Outside service mode an existing per-user copy is the only source of "JRE Path",
// even when it lacks the key: it holds the user's own choice.
std::wstring ReadJrePathText(const CLayeredConfig& config, const std::wstring& launcherPath,
                             const LauncherSettings& settings) {
    if (!settings.serviceMode) {
        const std::optional<std::wstring> userCopy =
            UserConfigPath(launcherPath, settings.productName, settings.productCode, false);
        if (userCopy && FileExists(*userCopy)) {
            TraceFile(L"per-user copy", *userCopy, L"found: JRE Path is read from it alone");
            return CConfigFile(*userCopy).ReadString(kSectionJavaRuntime, kKeyJrePath);
        }
        if (userCopy) TraceFile(L"per-user copy", *userCopy, L"missing");
    }
    return config.ReadString(kSectionJavaRuntime, kKeyJrePath);
}

void ReadSearchPrefs(const CLayeredConfig& config, JvmSearchPrefs& prefs) {
    prefs.jvmType = ParseJvmType(config.ReadString(kSectionJavaRuntime, kKeyJvmType));
    ApplyJvmSource(config.ReadString(kSectionJavaRuntime, kKeyJvmSource), prefs);
    ApplyVmProvider(config.ReadString(kSectionJavaRuntime, kKeyVmProvider), prefs);
}

void ReadLaunchOptions(const CLayeredConfig& config, const std::wstring& launcherPath, LauncherSettings& settings) {
    settings.showExceptionDialog = ReadYes(config, kSectionApplication, kKeyFailureCheck);
    settings.singleInstance = ReadExactly(config, kSectionApplication, kKeySingleInstance, kSingleInstanceEnabled);
    settings.overrideWorkingDir = ReadYes(config, kSectionApplication, kKeyOverrideWorkingDir);
    settings.windowsQuoting =
        EqualsAnyCase(config.ReadString(kSectionApplication, kKeyCommandLineQuoting), kWindowsCommandLineQuoting);
    settings.systemPath = config.ReadString(kSectionJavaRuntime, kKeySystemPath);
    settings.libraryPath = config.ReadString(kSectionJavaRuntime, kKeyLibraryPath);
    // Like the runtime folder, the pair lies beside the launcher: whatever folder the
    // user starts it from must not decide which program the launch is handed to.
    settings.pairProduct =
        ResolveFromLauncherFolder(config.ReadString(kSectionApplication, kKeyPairProduct), launcherPath);
    settings.pairReturnCode = ReadYes(config, kSectionApplication, kKeyPairReturnCode);
    settings.serviceStopMethod = config.ReadString(kSectionApplication, kKeyServiceStopMethod);
    settings.serviceStopTimeoutSeconds =
        ParseServiceStopTimeout(config.ReadString(kSectionApplication, kKeyServiceStopTimeout));
}

// [Display] is read as written, from the file alone.
void ReadSplashSettings(const CConfigFile& file, SplashSettings& splash) {
    splash.imagePath = file.ReadString(kSectionDisplay, kKeySplashScreen);
    splash.preferNative = EqualsYesAnyCase(file.ReadString(kSectionDisplay, kKeyPreferNativeSplashScreen));
    splash.shadowSetting = file.ReadString(kSectionDisplay, kKeySplashScreenShadow);
}

void ReadVmSettings(const CLayeredConfig& config, VmSettings& vm) {
    vm.embeddedJar = ReadYes(config, kSectionApplication, kKeyEmbeddedJar);
    vm.classPath = config.ReadString(kSectionClassPath, kKeyClassPath);
    vm.classDataCache = ReadYes(config, kSectionJavaRuntime, kKeyClassDataCache);
    vm.vmParameters = config.ReadString(kSectionJavaRuntime, kKeyVirtualMachineParameters);
    vm.outputFile = config.ReadString(kSectionApplication, kKeyOutputFile);
    vm.outputAppend = ReadExactly(config, kSectionApplication, kKeyOutputAppend, kAppendEnabled);
    vm.errorFile = config.ReadString(kSectionApplication, kKeyErrorFile);
    vm.errorAppend = ReadExactly(config, kSectionApplication, kKeyErrorAppend, kAppendEnabled);
    vm.cmd = config.ReadString(kSectionApplication, kKeyCmd);
}

}  // namespace

bool ReadSettingsFrom(const std::wstring& configPath, const std::wstring& launcherPath,
                      LauncherSettings& settings) {
    return ReadSettingsFrom(CLayeredConfig(configPath), launcherPath, settings);
}

bool ReadSettingsFrom(const CLayeredConfig& config, const std::wstring& launcherPath, LauncherSettings& settings) {
    ReadProductInformation(config, settings);
    ReadVersionSettings(config, settings);
    settings.jrePath = ResolveFromLauncherFolder(ReadJrePathText(config, launcherPath, settings), launcherPath);
    ReadSearchPrefs(config, settings.searchPrefs);
    std::wstring mainClass = config.ReadString(kSectionJavaRuntime, kKeyMainClass);
    if (mainClass.empty()) {
        return false;
    }
    // JNI's FindClass takes the internal form, with "/" between package names.
    std::replace(mainClass.begin(), mainClass.end(), L'.', L'/');
    settings.mainClass = std::move(mainClass);
    ReadLaunchOptions(config, launcherPath, settings);
    ReadSplashSettings(config.file(), settings.splash);
    ReadVmSettings(config, settings.vm);
    return true;
}

bool LoadSettings(LauncherSettings& settings) {
    const std::optional<std::wstring> launcherPath = GetLauncherPath();
    if (!launcherPath) {
        return false;
    }
    const std::optional<std::wstring> configPath = ConfigPathFor(*launcherPath);
    if (!configPath) {
        return false;
    }
    if (TraceEnabled()) TraceFile(L"main file", *configPath, FileExists(*configPath) ? L"found" : L"missing");
    // Every key of such a file would read as empty; say why instead of naming the
    // first missing key. (Nor can it tell whether this is a service: it is told as
    // a missing main class would be.)
    if (CConfigFile(*configPath).TooLarge()) {
        ShowErrorBoxWithText(ErrorBoxOwner(), LoadMessage(IDS_CONFIG_FILE_TOO_LARGE), *configPath);
        return false;
    }
    const bool complete = ReadSettingsFrom(*configPath, *launcherPath, settings);
    // Known before the main class is, service mode decides how its absence is told.
    if (settings.serviceMode) {
        EnterServiceMode(ServiceEventSource(settings.productName, *launcherPath));
    }
    if (complete) {
        return true;
    }
    ShowErrorBox(ErrorBoxOwner(), LoadMessage(IDS_MAIN_CLASS_MISSING));
    return false;
}

}  // namespace orvo
