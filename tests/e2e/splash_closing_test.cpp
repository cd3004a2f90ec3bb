// When the launcher's own splash window goes: as soon as main returns (with or
// without an exception, and before the exception dialog), after a failed launch,
// and when something outside closes it. The first window of the Java program
// closing it is tested on the real runtime (real_runtime_splash_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include "splash_test_app.h"
#include "support/ui_automation.h"

namespace orvo::test {
namespace {

constexpr DWORD kCloseWaitMs = 3000;

bool HasEvent(const TestJvmLog& log, const char* name) { return !log.EventsNamed(name).empty(); }

// DestroyJavaVM keeps the process alive for seconds after main: the splash must be
// gone long before the launcher ends.
TEST(SplashClosing, GoesWhenMainReturnsWithoutAWindow) {
    HostedApp app(HeldMainJvmIni().Set("destroy_sleep_ms", L"6000"));
    app.WriteIni(DisplayIni(SplashPictureLine(app, L"splash.png")));
    HWND splash = nullptr;
    RunOptions options;
    options.environment = {{L"JAVA_HOME", std::nullopt}};
    options.expectedWindows = {SplashThen([&](const WindowSnapshot& w) {
        splash = w.handle;
        ReleaseMain(app);
    })};
    LauncherSession session(app.launcher, {}, options);
    bool gone = session.WaitUntil([&](const LauncherRun&) { return splash && !IsWindowVisible(splash); },
                                  kDefaultRunTimeoutMs);
    TestJvmLog whenGone = app.Log();
    LauncherRun run = session.Finish();
    EXPECT_TRUE(gone) << "the splash stayed after main returned";
    EXPECT_TRUE(HasEvent(whenGone, "main-end"));
    EXPECT_EQ(whenGone.destroyEnds, 0) << "the splash went only when the launcher was ending";
    EXPECT_EQ(run.exitCode, 0);
}

TEST(SplashClosing, GoesBeforeTheExceptionDialogShows) {
    HostedIni ini = DisplayIni(L"");
    ini.applicationLines = L"Failure Check=Yes\n";
    HostedApp app(HeldMainJvmIni().Set("main", L"throw"), ini);
    ini.extraSections += SplashPictureLine(app, L"splash.png");
    app.WriteIni(ini);
    HWND splash = nullptr;
    ExpectedWindow dialog;
    dialog.description = L"the Java Exception dialog";
    dialog.matches = [](const WindowSnapshot& w) { return w.IsDialog() && w.title == L"Java Exception"; };
    dialog.respond = [&](const WindowSnapshot& w) {
        EXPECT_TRUE(splash && !IsWindowVisible(splash)) << "the dialog appeared with the splash still up";
        EXPECT_TRUE(PressButton(w.handle, IDOK));
    };
    LauncherRun run = app.Run({}, {SplashThen([&](const WindowSnapshot& w) {
                                       splash = w.handle;
                                       ReleaseMain(app);
                                   }),
                                   dialog});
    EXPECT_EQ(run.exitCode, 0);
}

// Closed from outside, the window goes by the default handling; the launch goes on
// and the launcher still ends cleanly.
TEST(SplashClosing, ClosedFromOutsideTheLaunchGoesOn) {
    HostedApp app(HeldMainJvmIni());
    app.WriteIni(DisplayIni(SplashPictureLine(app, L"splash.png")));
    bool closed = false;
    LauncherRun run = app.Run({}, {SplashThen([&](const WindowSnapshot& w) {
                                  RequestWindowClose(w.handle);
                                  closed = WaitUntilHidden(w.handle, kCloseWaitMs);
                                  ReleaseMain(app);
                              })});
    EXPECT_TRUE(closed);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(app.Log().mainCalls.size(), 1u);
}

}  // namespace
}  // namespace orvo::test
