#pragma once
// The launcher's splash screen: the picture named in [Display], shown while the Java
// VM starts, either in the launcher's own window or by the runtime's splash library.
#include <memory>
#include <string>

#include "config/launcher_settings.h"
#include "splash/native_splash.h"
#include "splash/splash_window.h"

namespace orvo {

class CSplashScreen {
public:
    CSplashScreen();
    CSplashScreen(const CSplashScreen&) = delete;
    CSplashScreen& operator=(const CSplashScreen&) = delete;
    // Closes the own window; the holder closes the native splash.
    ~CSplashScreen();

    // Shows the splash the [Display] settings name, for the runtime of that jvm.dll;
    // nothing when they name none. A splash that cannot be shown is silently left out.
    void Show(const SplashSettings& settings, const std::wstring& jvmPath);

    // Stops the splash thread and removes the own window; nothing when there is none.
    // Called from one thread at a time (the VM thread, later the main thread).
    void CloseOwn();
    // Closes the runtime's splash, once.
    void CloseNative() { nativeClose.Invoke(); }

private:
    void StartOwn(const std::wstring& imagePath, const std::wstring& shadowSetting);

    std::unique_ptr<SplashWindow> splashWindow;
    NativeSplashClose nativeClose;
};

}  // namespace orvo
