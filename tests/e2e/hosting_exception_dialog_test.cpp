// An exception that escapes main: with "Failure Check" the user sees it in the Java
// Exception dialog and chooses to ignore it or stop the application; without it
// nothing is shown and the launch ends as if main had returned.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosting_test_app.h"
#include "support/screenshot.h"
#include "support/ui_automation.h"

namespace orvo::test {
namespace {

constexpr wchar_t kTrace[] = L"java.lang.IllegalStateException: Gr\u00FC\u00DFe \u65E5\u672C \U0001F600\n"
                             L"\tat com.example.App.main(App.java:7)\n";
constexpr wchar_t kTraceInEdit[] = L"java.lang.IllegalStateException: Gr\u00FC\u00DFe \u65E5\u672C \U0001F600\r\n"
                                   L"\tat com.example.App.main(App.java:7)\r\n";

constexpr int kTraceEdit = 208;
constexpr int kGroup = 209;
constexpr int kIntro = 210;
constexpr int kAdvice = 211;
constexpr int kWarning = 212;
constexpr int kIcon = 204;

TestJvmIni ThrowingJvmIni() { return HostedApp::DefaultJvmIni().Set("main", L"throw").Set("main_stack_trace", kTrace); }

HostedIni FailureCheck(const std::wstring& value) {
    HostedIni ini;
    ini.applicationLines = L"Failure Check=" + value + L"\n";
    return ini;
}

bool IsExceptionDialog(const WindowSnapshot& window) {
    return window.IsDialog() && window.title == L"Java Exception";
}

RECT ControlRect(const WindowSnapshot& window, int id) {
    const ControlSnapshot* control = window.Control(id);
    return control ? control->rect : RECT{};
}

// What the dialog shows when it opens: the table's texts, the trace, read-only.
void ExpectInitialContents(const WindowSnapshot& window) {
    EXPECT_EQ(window.owner, nullptr);  // no launcher window is active on the VM thread
    const ControlSnapshot* trace = window.Control(kTraceEdit);
    ASSERT_NE(trace, nullptr);
    EXPECT_EQ(trace->text, kTraceInEdit);
    EXPECT_TRUE(trace->style & ES_READONLY);
    EXPECT_EQ(window.ButtonTexts(), (std::vector<std::wstring>{L"Ignore", L"Stop", L"Uncaught Exception"}));
    ASSERT_NE(window.Control(kIntro), nullptr);
    EXPECT_EQ(window.Control(kIntro)->text, L"The java process has thrown the following uncaught exception:");
    ASSERT_NE(window.Control(kAdvice), nullptr);
    EXPECT_EQ(window.Control(kAdvice)->text,
              L"Press Ignore to continue and ignore the exception or press Stop to close the application.");
    ASSERT_NE(window.Control(kWarning), nullptr);
    EXPECT_EQ(window.Control(kWarning)->text,
              L"WARNING: If you choose to Stop the application any unsaved data will be lost.");
    EXPECT_TRUE(window.style & WS_THICKFRAME);
    EXPECT_EQ(window.icon, MessageIcon::kError);
}

const ControlSnapshot* SizeGrip(const WindowSnapshot& window) {
    for (const ControlSnapshot& control : window.controls) {
        if (control.className == L"ScrollBar" && (control.style & SBS_SIZEGRIP)) return &control;
    }
    return nullptr;
}

SIZE OuterSize(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Polls (bounded) until the dialog's zoom state and the grip's visibility are as
// given at one and the same moment. Under wine the X11 side may undo a maximisation
// soon after, so the two are read together rather than after a pause.
bool WaitForZoomAndGrip(HWND window, HWND grip, bool zoomed, bool gripVisible) {
    for (int i = 0; i < 200; ++i) {
        if ((IsZoomed(window) != FALSE) == zoomed && (IsWindowVisible(grip) != FALSE) == gripVisible) return true;
        Sleep(10);
    }
    return false;
}

// Made larger, every control follows its anchors.
void ExpectAnchoredLayout(const WindowSnapshot& before, const WindowSnapshot& after, int dx, int dy) {
    RECT ok = ControlRect(before, IDOK), ok2 = ControlRect(after, IDOK);
    EXPECT_EQ(ok2.left - ok.left, dx);  // moves right and down
    EXPECT_EQ(ok2.top - ok.top, dy);
    EXPECT_EQ(ok2.right - ok2.left, ok.right - ok.left);
    RECT edit = ControlRect(before, kTraceEdit), edit2 = ControlRect(after, kTraceEdit);
    EXPECT_EQ(edit2.left - edit.left, 0);  // grows both ways
    EXPECT_EQ(edit2.right - edit.right, dx);
    EXPECT_EQ(edit2.bottom - edit.bottom, dy);
    RECT group = ControlRect(before, kGroup), group2 = ControlRect(after, kGroup);
    EXPECT_EQ(group2.right - group.right, dx);
    EXPECT_EQ(group2.bottom - group.bottom, dy);
    RECT icon = ControlRect(before, kIcon), icon2 = ControlRect(after, kIcon);
    EXPECT_TRUE(EqualRect(&icon, &icon2));  // stays
    RECT intro = ControlRect(before, kIntro), intro2 = ControlRect(after, kIntro);
    EXPECT_EQ(intro2.right - intro.right, dx);  // grows in width only
    EXPECT_EQ(intro2.bottom - intro.bottom, 0);
    RECT warning = ControlRect(before, kWarning), warning2 = ControlRect(after, kWarning);
    EXPECT_EQ(warning2.top - warning.top, dy);  // grows in width, moves down
    EXPECT_EQ(warning2.right - warning.right, dx);
    EXPECT_EQ(warning2.bottom - warning2.top, warning.bottom - warning.top);
}

// Resizes the dialog as a person would: larger (pictures before and after), then
// smaller than it opened, then maximised and restored.
void ExerciseResizing(const WindowSnapshot& window) {
    SIZE initial = OuterSize(window.handle);
    SaveWindowScreenshot(window.handle, L"initial");
    EXPECT_TRUE(ResizeWindow(window.handle, initial.cx + 240, initial.cy + 160));
    EXPECT_TRUE(WaitUntilIdle(window.handle));
    SaveWindowScreenshot(window.handle, L"enlarged");
    ExpectAnchoredLayout(window, ReadWindow(window.handle), 240, 160);

    ResizeWindow(window.handle, initial.cx / 2, initial.cy / 2);
    EXPECT_TRUE(WaitUntilIdle(window.handle));
    SIZE shrunk = OuterSize(window.handle);
    EXPECT_EQ(shrunk.cx, initial.cx) << "the dialog became narrower than it opened";
    EXPECT_EQ(shrunk.cy, initial.cy) << "the dialog became lower than it opened";

    const ControlSnapshot* grip = SizeGrip(window);
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(grip->visible);
    ShowWindowAsync(window.handle, SW_MAXIMIZE);
    EXPECT_TRUE(WaitForZoomAndGrip(window.handle, grip->handle, true, false)) << "size grip shown while maximised";
    ShowWindowAsync(window.handle, SW_RESTORE);
    EXPECT_TRUE(WaitForZoomAndGrip(window.handle, grip->handle, false, true)) << "size grip hidden after restoring";
    EXPECT_TRUE(WaitUntilIdle(window.handle));
}

ExpectedWindow ExpectExceptionDialog(int button) {
    ExpectedWindow expected;
    expected.description = L"Java Exception dialog";
    expected.matches = IsExceptionDialog;
    expected.respond = [button](const WindowSnapshot& window) {
        ExpectInitialContents(window);
        ExerciseResizing(window);
        EXPECT_TRUE(PressButton(window.handle, button));
    };
    return expected;
}

// As with java.exe, an exception that escapes main fails the launch: exit code 1.
TEST(HostingExceptionDialog, WithoutFailureCheckNothingIsShownAndTheExitCodeIsOne) {
    HostedApp app(ThrowingJvmIni(), FailureCheck(L"no"));
    LauncherRun run = app.Run();  // any window would fail the run
    EXPECT_EQ(run.exitCode, 1);
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    // Left pending, the exception is reported by the VM when the thread detaches.
    EXPECT_EQ(log.uncaughtExceptions, std::vector<std::string>{"java/lang/IllegalStateException"});
    EXPECT_FALSE(log.exitCode.has_value());
}

TEST(HostingExceptionDialog, IgnoreGoesOnAsIfMainHadReturned) {
    HostedApp app(ThrowingJvmIni(), FailureCheck(L"YES"));
    LauncherRun run = app.Run({}, {ExpectExceptionDialog(IDOK)});
    EXPECT_EQ(run.exitCode, 0);
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    EXPECT_FALSE(log.exitCode.has_value());
    EXPECT_EQ(log.uncaughtExceptions, std::vector<std::string>{"java/lang/IllegalStateException"});
    EXPECT_EQ(log.detachedThreads.size(), 1u);
    EXPECT_EQ(log.destroyEnds, 1);
}

TEST(HostingExceptionDialog, StopEndsTheApplicationThroughSystemExitMinusOne) {
    HostedApp app(ThrowingJvmIni(), FailureCheck(L"Yes"));
    LauncherRun run = app.Run({}, {ExpectExceptionDialog(IDCANCEL)});
    EXPECT_EQ(run.exitCode, -1);
    TestJvmLog log = app.Log();
    ExpectNoProblems(log);
    EXPECT_EQ(log.exitCode, -1);
    EXPECT_TRUE(log.exitHookCalled);
    // Reported by the thread's handler, as on Ignore, before System.exit ends everything.
    EXPECT_EQ(log.uncaughtExceptions, std::vector<std::string>{"java/lang/IllegalStateException"});
}

TEST(HostingExceptionDialog, ClosingTheDialogStopsTheApplicationToo) {
    HostedApp app(ThrowingJvmIni(), FailureCheck(L"yes"));
    ExpectedWindow expected;
    expected.description = L"Java Exception dialog, closed";
    expected.matches = IsExceptionDialog;
    expected.respond = [](const WindowSnapshot& window) { RequestWindowClose(window.handle); };
    LauncherRun run = app.Run({}, {expected});
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_EQ(app.Log().exitCode, -1);
    EXPECT_EQ(app.Log().uncaughtExceptions, std::vector<std::string>{"java/lang/IllegalStateException"});
}

}  // namespace
}  // namespace orvo::test
