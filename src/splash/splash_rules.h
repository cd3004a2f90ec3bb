#pragma once
// The splash screen's decisions that need no window: where the window goes, whether
// it gets a shadow, and where the runtime keeps its own splash library.
#include <string>
#include <string_view>

namespace orvo {

struct SplashPlacement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The image's rectangle centred on a screen of that size. An image larger than the
// screen gets negative coordinates, so that its centre stays at the screen's centre;
// the halves are truncated toward zero.
SplashPlacement CentredSplashPlacement(int screenWidth, int screenHeight, int imageWidth, int imageHeight) noexcept;

// Only the exact lower-case "true" asks for a drop shadow.
bool SplashShadowWanted(std::wstring_view setting) noexcept;

// Where the runtime of that jvm.dll keeps splashscreen.dll: two components up from
// the library (C:\jre\bin\client\jvm.dll gives C:\jre\bin\splashscreen.dll).
// Empty for an empty path. Whether the file exists is the caller's question.
std::wstring SplashLibraryCandidate(const std::wstring& jvmPath);

}  // namespace orvo
