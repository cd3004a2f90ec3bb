#pragma once
// The launcher's splash screen (own window or the runtime's splash library).
//
// Not built yet: Show succeeds without showing anything, as a launcher without a
// configured splash image does.
namespace orvo {

class CSplashScreen {
public:
    bool Show() { return true; }
    void CloseOwn() {}
    void CloseNative() {}
};

}  // namespace orvo
