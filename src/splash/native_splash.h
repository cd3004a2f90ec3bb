#pragma once
// The Java runtime's own splash library (splashscreen.dll in its bin folder), driven
// through four of its exports. Java's SplashScreen API then sees the splash, and the
// runtime closes it itself when the program shows its first window.
#include <string>

namespace orvo {

// The library's exports use the C calling convention.
using NativeSplashCloseFunction = void(__cdecl*)();

// One-shot holder of the library's SplashClose: whichever comes first (a failed
// launch, teardown, a replacement) closes the native splash, and nothing closes it twice.
class NativeSplashClose {
public:
    NativeSplashClose() = default;
    NativeSplashClose(const NativeSplashClose&) = delete;
    NativeSplashClose& operator=(const NativeSplashClose&) = delete;
    ~NativeSplashClose() { Invoke(); }

    // Calls the held entry point, if any, and empties the holder.
    void Invoke();
    // Holds `close` instead; a different entry point held before is invoked first.
    void Replace(NativeSplashCloseFunction close);
    bool holds() const noexcept { return close_ != nullptr; }

private:
    NativeSplashCloseFunction close_ = nullptr;
};

// Loads the library at `libraryPath` (never unloaded) with the runtime's folders as
// the only non-system places for its dependencies, puts its SplashClose (possibly
// none) into `close`, and shows the image. False when the library does not load or
// lacks SplashInit, SplashLoadFile or SplashSetFileJarName.
bool StartNativeSplash(const std::wstring& libraryPath, const std::wstring& jvmPath, const std::wstring& imagePath,
                       NativeSplashClose& close);

}  // namespace orvo
