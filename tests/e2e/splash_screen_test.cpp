// The launcher's own splash window as a user sees it: its look and place for every
// picture format, the shadow setting, pictures that cannot be shown, the switches
// that suppress it, the error boxes it owns, and GDI+ taken only from the system.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "splash_test_app.h"
#include "support/file_tree.h"
#include "support/planted_dll.h"
#include "support/process_inspection.h"
#include "support/splash_picture.h"
#include "support/test_environment.h"
#include "support/ui_automation.h"
#include "support/wine_dll_order.h"

namespace orvo::test {
namespace {

std::wstring Describe(const RECT& r) {
    return L"(" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L")-(" + std::to_wstring(r.right) +
           L"," + std::to_wstring(r.bottom) + L")";
}

void ExpectRect(const RECT& seen, const RECT& wanted) {
    EXPECT_TRUE(EqualRect(&seen, &wanted)) << "window at " << Describe(seen) << ", expected " << Describe(wanted);
}

// A borderless window without a taskbar button, not above other programs.
void ExpectSplashLook(const WindowSnapshot& splash) {
    EXPECT_EQ(splash.className, kSplashWindowClass);
    EXPECT_EQ(splash.title, L"");
    EXPECT_EQ(splash.owner, nullptr);
    EXPECT_TRUE(splash.style & WS_POPUP);
    EXPECT_FALSE(splash.style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
    EXPECT_TRUE(splash.exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(splash.exStyle & (WS_EX_APPWINDOW | WS_EX_TOPMOST));
}

TEST(SplashScreen, EveryPictureFormatIsShownCentredInABorderlessWindow) {
    struct Case {
        const wchar_t* file;
        const wchar_t* mimeType;
        int width;
        int height;
        int tolerance;  // per colour channel: JPEG is lossy
        const wchar_t* screenshot;
    };
    // Odd sizes: the halves of the free room are truncated. 1401 x 1101 is larger
    // than the screen, so the window starts left of and above it.
    const Case cases[] = {
        {L"splash.png", L"image/png", 201, 121, 0, L"own-splash"},
        {L"splash.jpg", L"image/jpeg", 201, 121, 48, nullptr},
        {L"splash.bmp", L"image/bmp", 201, 121, 0, nullptr},
        {L"splash.gif", L"image/gif", 201, 121, 0, nullptr},
        {L"large.png", L"image/png", 1401, 1101, 0, L"own-splash-larger-than-screen"},
    };
    ASSERT_LT(GetSystemMetrics(SM_CXSCREEN), 1401);
    ASSERT_LT(GetSystemMetrics(SM_CYSCREEN), 1101);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file);
        HostedApp app(HeldMainJvmIni());
        std::wstring picture = WriteQuadrantPicture(app.folder.PathOf(c.file), c.width, c.height, c.mimeType);
        app.WriteIni(DisplayIni(L"Splash Screen=" + picture + L"\n"));
        auto look = [&](const WindowSnapshot& splash) {
            ExpectQuadrantsOnScreen({splash.rect.left, splash.rect.top}, c.width, c.height, c.tolerance);
            ReleaseMain(app);
        };
        LauncherRun run = app.Run({}, {SplashThen(look, c.screenshot ? c.screenshot : L"")});
        EXPECT_EQ(run.exitCode, 0);
        ASSERT_EQ(run.WindowsFor(0).size(), 1u);
        const WindowSnapshot splash = run.WindowsFor(0).front();
        ExpectSplashLook(splash);
        ExpectRect(splash.rect, CentredOnScreen(c.width, c.height));
    }
}

TEST(SplashScreen, DropShadowOnlyForTheExactLowerCaseTrue) {
    struct Case {
        const wchar_t* shadowLine;
        bool shadow;
    };
    // The other spellings are in SplashShadow's unit tests; here the window class follows.
    const Case cases[] = {{L"Splash Screen Shadow=true\n", true}, {L"Splash Screen Shadow=True\n", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (*c.shadowLine ? c.shadowLine : L"no shadow key"));
        HostedApp app(HeldMainJvmIni());
        app.WriteIni(DisplayIni(SplashPictureLine(app, L"splash.png") + c.shadowLine));
        ULONG_PTR classStyle = 0;
        auto look = [&](const WindowSnapshot& splash) {
            classStyle = GetClassLongPtrW(splash.handle, GCL_STYLE);
            ReleaseMain(app);
        };
        LauncherRun run = app.Run({}, {SplashThen(look)});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ((classStyle & CS_DROPSHADOW) != 0, c.shadow) << std::hex << classStyle;
        EXPECT_EQ(classStyle & (CS_DBLCLKS | CS_SAVEBITS), static_cast<ULONG_PTR>(CS_DBLCLKS | CS_SAVEBITS));
    }
}

// Nothing to show is no reason to stop: an empty window at the screen's centre, no box.
TEST(SplashScreen, PictureThatCannotBeReadGivesAnEmptyWindowAndNoBox) {
    struct Case {
        const wchar_t* name;
        std::optional<std::string> bytes;  // nullopt: no file at all
    };
    const Case cases[] = {
        {L"missing.png", std::nullopt},
        {L"text.png", std::string("this is not a picture\r\n")},
        {L"cut-off.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x10", 20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        HostedApp app(HeldMainJvmIni());
        if (c.bytes) app.folder.WriteBytes(c.name, *c.bytes);
        app.WriteIni(DisplayIni(L"Splash Screen=" + app.folder.PathOf(c.name) + L"\n"));
        LauncherRun run = app.Run({}, {SplashThen([&](const WindowSnapshot&) { ReleaseMain(app); })});
        EXPECT_EQ(run.exitCode, 0);
        ASSERT_EQ(run.WindowsFor(0).size(), 1u);
        ExpectRect(run.WindowsFor(0).front().rect, CentredOnScreen(0, 0));
    }
}

// The switches are whole, case-sensitive arguments; they still reach main.
TEST(SplashScreen, OnlyTheExactSwitchesSuppressIt) {
    struct Case {
        const wchar_t* argument;
        bool splash;
    };
    // Every spelling is in HasNoSplashSwitch's unit tests; here the launch follows it.
    const Case cases[] = {{L"/nosplash", false}, {L"-NoSplash", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.argument);
        // main keeps the VM busy long enough for a splash to be seen, if there is one.
        HostedApp app(HostedApp::DefaultJvmIni().Set("main_sleep_ms", L"1500"));
        app.WriteIni(DisplayIni(SplashPictureLine(app, L"splash.png")));
        std::vector<ExpectedWindow> expected;
        if (c.splash) expected.push_back(ExpectSplashWindow());
        LauncherRun run = app.Run({L"first", c.argument}, expected);
        EXPECT_EQ(run.exitCode, 0);
        TestJvmLog log = app.Log();
        ASSERT_EQ(log.mainCalls.size(), 1u);
        EXPECT_EQ(log.mainCalls[0].arguments, (std::vector<std::wstring>{L"first", c.argument}));
    }
}

// A box raised once the splash is up belongs to it; without a splash it has no owner.
TEST(SplashScreen, ErrorBoxIsOwnedByTheSplashWindowWhileItIsUp) {
    for (bool withSplash : {true, false}) {
        SCOPED_TRACE(withSplash ? "splash" : "-nosplash");
        HostedApp app;
        app.WriteIni(DisplayIni(SplashPictureLine(app, L"splash.png")));
        WriteFileBytes(app.runtime.jvmPath(), "not a library");
        ExpectedWindow box;
        box.description = L"the box for a jvm.dll that does not load";
        const std::wstring boxStart = L"Failed to load Java VM library: " + app.runtime.jvmPath() + L" (errno = ";
        box.matches = [&](const WindowSnapshot& w) { return w.IsDialog() && w.MessageText().rfind(boxStart, 0) == 0; };
        box.respond = [](const WindowSnapshot& w) { EXPECT_TRUE(PressButton(w.handle, IDOK)); };
        std::vector<ExpectedWindow> expected{box};
        if (withSplash) expected.push_back(ExpectSplashWindow());
        LauncherRun run = app.Run(withSplash ? std::vector<std::wstring>{} : std::vector<std::wstring>{L"-nosplash"},
                                  expected);
        EXPECT_EQ(run.exitCode, -1);
        ASSERT_EQ(run.WindowsFor(0).size(), 1u);
        const WindowSnapshot shown = run.WindowsFor(0).front();
        if (!withSplash) {
            EXPECT_EQ(shown.owner, nullptr);
            continue;
        }
        ASSERT_EQ(run.WindowsFor(1).size(), 1u);
        EXPECT_EQ(shown.owner, run.WindowsFor(1).front().handle);
        EXPECT_EQ(shown.ownerClassName, kSplashWindowClass);
    }
}

PlantedArch LauncherArch() { return TestArchitecture() == L"x86_64" ? PlantedArch::k64 : PlantedArch::k32; }

// A runtime whose splash library is missing, will not load or lacks its exports
// still gets a splash: the launcher's own window.
TEST(SplashScreen, NativePreferenceFallsBackToTheOwnWindow) {
    enum class Library { kNone, kRefusesToLoad, kWithoutExports };
    for (Library library : {Library::kNone, Library::kRefusesToLoad, Library::kWithoutExports}) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(library));
        HostedApp app(HeldMainJvmIni());
        app.WriteIni(DisplayIni(SplashPictureLine(app, L"splash.png") + L"Preffer Native Splash Screen=yes\n"));
        std::wstring planted = app.runtime.binFolder() + L"\\splashscreen.dll";
        if (library == Library::kRefusesToLoad) PlantDll(app.runtime.binFolder(), L"splashscreen.dll", LauncherArch());
        if (library == Library::kWithoutExports) CopyFileTo(TestJvmLibrary(), planted);
        LauncherRun run = app.Run({}, {SplashThen([&](const WindowSnapshot&) { ReleaseMain(app); })});
        EXPECT_EQ(run.exitCode, 0);
        // The one that refuses to load shows that loading it was tried.
        if (library == Library::kRefusesToLoad) {
            EXPECT_NE(PlantedDllLoads(planted), L"");
        }
    }
}

// GDI+ is not among the libraries Windows always takes from the system folder: one
// planted beside the launcher or in the current folder must not be loaded.
TEST(SplashScreen, GdiplusIsTakenFromTheSystemFolderOnly) {
    HostedApp app(HeldMainJvmIni());
    app.WriteIni(DisplayIni(SplashPictureLine(app, L"splash.png")));
    // A name of its own, so that wine's preference for a native gdiplus.dll (which
    // Windows has anyway) applies to this launcher only.
    std::wstring launcher = app.folder.AddLauncher(L"PlantedGdiplus.exe");
    app.folder.AddCopyOf(app.folder.PathOf(L"App.ini"), L"PlantedGdiplus.ini");
    NativeLibraryFirst filesFirst({L"PlantedGdiplus.exe"}, L"gdiplus");
    std::wstring current = app.folder.CreateFolder(L"current");
    std::wstring besideLauncher = PlantDll(app.folder.path(), L"gdiplus.dll", LauncherArch());
    std::wstring inCurrent = PlantDll(current, L"gdiplus.dll", LauncherArch());
    RunOptions options;
    options.expectedWindows = {SplashThen([&](const WindowSnapshot&) { ReleaseMain(app); })};
    options.workingDirectory = current;
    options.environment = {{L"JAVA_HOME", std::nullopt}};
    LauncherRun run = RunLauncher(launcher, {}, options);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(PlantedDllLoads(besideLauncher), L"");
    EXPECT_EQ(PlantedDllLoads(inCurrent), L"");
}

// Without a picture there is nothing to decode: no splash thread, no GDI+. A service
// shows no window at all, so it does not even start one for its picture.
TEST(SplashScreen, NoSplashThreadOrGdiplusWithoutAPictureOrInAService) {
    struct Case {
        const wchar_t* name;
        bool picture;
        bool service;
        bool splash;  // expected on screen
    };
    const Case cases[] = {
        {L"no picture", false, false, false}, {L"picture", true, false, true}, {L"service", true, true, false}};
    std::optional<int> baseline;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        HostedApp app(HeldMainJvmIni());
        HostedIni ini = DisplayIni(c.picture ? SplashPictureLine(app, L"splash.png") : L"");
        if (c.service) ini.applicationLines = L"Application Type=service\n";
        app.WriteIni(ini);
        RunOptions options;
        options.environment = {{L"JAVA_HOME", std::nullopt}};
        if (c.splash) options.expectedWindows = {ExpectSplashWindow()};  // any other window fails the run
        LauncherSession session(app.launcher, {}, options);
        // main holds, and so does a splash: the process is looked at with both up.
        bool mainRunning = session.WaitUntil(
            [&](const LauncherRun& run) {
                return !app.Log().mainCalls.empty() && (!c.splash || !run.WindowsFor(0).empty());
            },
            kDefaultRunTimeoutMs);
        std::vector<DWORD> processes = session.LiveProcessIds();
        ASSERT_TRUE(mainRunning && !processes.empty());
        std::vector<std::wstring> modules = LoadedModuleNames(processes.front());
        int threads = ThreadCount(processes.front());
        ReleaseMain(app);
        EXPECT_EQ(session.Finish().exitCode, 0);
        if (!baseline) baseline = threads;  // the first case has no splash
        EXPECT_EQ(threads, *baseline + (c.splash ? 1 : 0));
        if (!c.splash) EXPECT_EQ(std::count(modules.begin(), modules.end(), L"gdiplus.dll"), 0);
    }
}

}  // namespace
}  // namespace orvo::test
