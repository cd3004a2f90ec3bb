#include "splash_test_app.h"

#include "foundation/path_text.h"
#include "support/file_tree.h"
#include "support/splash_picture.h"

namespace orvo::test {

TestJvmIni HeldMainJvmIni() { return HostedApp::DefaultJvmIni().Set("main_wait_file", L"go.txt"); }

void ReleaseMain(const HostedApp& app) { WriteFileBytes(FolderOf(app.runtime.jvmPath()) + L"\\go.txt", "go"); }

HostedIni DisplayIni(const std::wstring& displayLines) {
    HostedIni ini;
    ini.extraSections = L"[Display]\n" + displayLines;
    return ini;
}

std::wstring SplashPictureLine(const HostedApp& app, const std::wstring& name, int width, int height) {
    return L"Splash Screen=" + WriteQuadrantPicture(app.folder.PathOf(name), width, height, L"image/png") + L"\n";
}

ExpectedWindow SplashThen(std::function<void(const WindowSnapshot&)> look, std::wstring screenshotLabel) {
    ExpectedWindow splash = ExpectSplashWindow(1, std::move(screenshotLabel));
    splash.respond = std::move(look);
    return splash;
}

bool WaitUntilHidden(HWND window, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindowVisible(window)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

RECT CentredOnScreen(int width, int height) {
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return {left, top, left + width, top + height};
}

}  // namespace orvo::test
