#include "splash/splash_screen.h"

#include <optional>

#include "config/config_file.h"
#include "config/config_keys.h"
#include "config/config_locations.h"
#include "config/setting_compare.h"
#include "foundation/paths.h"
#include "splash/splash_rules.h"

namespace orvo {

CSplashScreen::CSplashScreen() = default;

CSplashScreen::~CSplashScreen() { CloseOwn(); }

bool CSplashScreen::Show(const std::wstring& jvmPath) {
    const std::optional<std::wstring> configPath = MainConfigPath();
    if (!configPath) return false;
    const CConfigFile config(*configPath);
    const std::wstring imagePath = config.ReadString(kSectionDisplay, kKeySplashScreen);
    if (imagePath.empty()) return true;
    std::wstring libraryPath = SplashLibraryCandidate(jvmPath);
    if (!libraryPath.empty() && !FileExists(libraryPath)) libraryPath.clear();
    const bool preferNative = EqualsYesAnyCase(config.ReadString(kSectionDisplay, kKeyPreferNativeSplashScreen));
    if (preferNative && !libraryPath.empty() && StartNativeSplash(libraryPath, jvmPath, imagePath, nativeClose)) {
        return true;
    }
    StartOwn(imagePath, config.ReadString(kSectionDisplay, kKeySplashScreenShadow));
    return true;
}

void CSplashScreen::StartOwn(const std::wstring& imagePath, const std::wstring& shadowSetting) {
    auto window = std::make_unique<SplashWindow>(imagePath, SplashShadowWanted(shadowSetting));
    if (window->Start()) splashWindow = std::move(window);
}

void CSplashScreen::CloseOwn() {
    if (!splashWindow) return;
    // A thread that did not end in time may still use its window object: it is left
    // alive rather than destroyed under that thread.
    if (!splashWindow->Stop()) {
        (void)splashWindow.release();
        return;
    }
    splashWindow.reset();
}

}  // namespace orvo
