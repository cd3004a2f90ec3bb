#include "splash/splash_screen.h"

#include "foundation/paths.h"
#include "splash/splash_rules.h"

namespace orvo {

CSplashScreen::CSplashScreen() = default;

CSplashScreen::~CSplashScreen() { CloseOwn(); }

void CSplashScreen::Show(const SplashSettings& settings, const std::wstring& jvmPath) {
    if (settings.imagePath.empty()) return;
    std::wstring libraryPath = SplashLibraryCandidate(jvmPath);
    if (!libraryPath.empty() && !FileExists(libraryPath)) libraryPath.clear();
    if (settings.preferNative && !libraryPath.empty() &&
        StartNativeSplash(libraryPath, jvmPath, settings.imagePath, nativeClose)) {
        return;
    }
    StartOwn(settings.imagePath, settings.shadowSetting);
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
