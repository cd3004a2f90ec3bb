#include "splash/splash_rules.h"

#include "foundation/path_text.h"

namespace orvo {

SplashPlacement CentredSplashPlacement(int screenWidth, int screenHeight, int imageWidth, int imageHeight) noexcept {
    // C++ integer division truncates toward zero, as the placement rule says.
    return {(screenWidth - imageWidth) / 2, (screenHeight - imageHeight) / 2, imageWidth, imageHeight};
}

bool SplashShadowWanted(std::wstring_view setting) noexcept { return setting == L"true"; }

std::wstring SplashLibraryCandidate(const std::wstring& jvmPath) {
    if (jvmPath.empty()) return {};
    std::wstring folder = StripPathComponents(jvmPath, 2);
    if (folder.empty() || (folder.back() != L'\\' && folder.back() != L'/')) folder += L'\\';
    return folder + L"splashscreen.dll";
}

}  // namespace orvo
