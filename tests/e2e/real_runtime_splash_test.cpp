// The splash with the real Java runtime: the launcher's own window going when the
// program's first window shows, and the runtime's own splash library, which Java's
// SplashScreen API then sees.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "splash_test_app.h"
#include "support/java_runtime.h"
#include "support/splash_picture.h"

namespace orvo::test {
namespace {

constexpr int kWidth = 201;
constexpr int kHeight = 121;

std::wstring PictureLine(AppFolder& folder, const std::wstring& subfolder = L"") {
    if (!subfolder.empty()) folder.CreateFolder(subfolder);
    const std::wstring name = subfolder.empty() ? L"splash.png" : subfolder + L"\\splash.png";
    std::wstring picture = WriteQuadrantPicture(folder.PathOf(name), kWidth, kHeight, L"image/png");
    return L"Splash Screen=" + picture + L"\n";
}

// The window the runtime's splash library shows.
ExpectedWindow ExpectNativeSplash(std::wstring screenshotLabel) {
    ExpectedWindow splash;
    splash.description = L"the runtime's splash window";
    splash.matches = [](const WindowSnapshot& w) { return w.className == L"JavaSplash"; };
    splash.screenshotLabel = std::move(screenshotLabel);
    return splash;
}

// "Preffer Native Splash Screen" in any letter case hands the picture to the
// runtime's library, and Java's SplashScreen API sees it; anything else keeps the
// launcher's own window, of which Java knows nothing. The library takes the picture's
// name in ANSI text, so a folder the code page cannot name reaches it by its short name.
TEST(RealRuntimeSplash, NativePreferenceInAnyLetterCaseShowsTheRuntimeSplash) {
    struct Case {
        const wchar_t* preference;
        bool native;
        const wchar_t* screenshot;
        const wchar_t* pictureFolder;
    };
    const Case cases[] = {{L"Yes", true, L"native-splash", L""},
                          {L"yes", true, nullptr, L"\u041A\u0430\u0440\u0442\u0438\u043D\u043A\u0438"},
                          {L"No", false, nullptr, L""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.preference);
        AppFolder folder(c.preference);
        ProbeAppSettings settings;
        settings.displayLines =
            PictureLine(folder, c.pictureFolder) + L"Preffer Native Splash Screen=" + c.preference + L"\n";
        ProbeApp app(folder, settings);
        ExpectedWindow splash = c.native ? ExpectNativeSplash(c.screenshot ? c.screenshot : L"") : ExpectSplashWindow();
        splash.respond = [&](const WindowSnapshot& w) {
            EXPECT_EQ(w.rect.right - w.rect.left, kWidth);
            EXPECT_EQ(w.rect.bottom - w.rect.top, kHeight);
        };
        LauncherRun run = app.Run({L"splash-screen", L"sleep", L"1500"}, {splash});
        EXPECT_EQ(run.exitCode, 0);
        ExpectHostedByApp64(run, app.Results());
        ProbeResults results = app.Results();
        if (!c.native) {
            EXPECT_EQ(results.Value(L"splash"), L"none") << results.Text();
            continue;
        }
        EXPECT_EQ(results.Value(L"splash"), L"visible") << results.Text();
        EXPECT_EQ(results.Value(L"splash.size"), L"201x121") << results.Text();
    }
}

// The program's first window takes over from the splash at once: left up, the
// splash would come back whenever the program's window is minimised or moved.
TEST(RealRuntimeSplash, OwnSplashGoesWhenTheFirstJavaWindowShows) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.displayLines = PictureLine(folder);
    ProbeApp app(folder, settings);
    HWND splash = nullptr;
    bool goneWhileWindowShown = false;
    ExpectedWindow frame = ExpectProbeWindow(L"java-window");
    frame.respond = [&](const WindowSnapshot& w) {
        goneWhileWindowShown = splash && WaitUntilHidden(splash, 1000) && IsWindowVisible(w.handle);
    };
    LauncherRun run = app.Run({L"show-window", L"5000"},
                              {SplashThen([&](const WindowSnapshot& w) { splash = w.handle; }), frame});
    EXPECT_EQ(run.exitCode, 0);
    ExpectHostedByApp64(run, app.Results());
    EXPECT_TRUE(goneWhileWindowShown) << "the splash stayed up with the program's window on screen";
    EXPECT_TRUE(app.Results().HasLine(L"window", L"disposed")) << app.Results().Text();
}

}  // namespace
}  // namespace orvo::test
