#pragma once
// Applications of the test runtime for the splash tests: the [Display] section the
// test chooses, a main that waits until the test has looked at the splash, and the
// pictures to show.
#include <windows.h>

#include <functional>
#include <string>

#include "hosting_test_app.h"
#include "support/launcher_run.h"

namespace orvo::test {

// The test runtime's settings with a main that waits for ReleaseMain.
TestJvmIni HeldMainJvmIni();
// Lets the held main of that application return.
void ReleaseMain(const HostedApp& app);

// An INI whose [Display] section has these lines.
HostedIni DisplayIni(const std::wstring& displayLines);

// Writes a width-by-height quadrant PNG into the application's folder under that
// name and the [Display] line that names it; returns the line.
std::wstring SplashPictureLine(const HostedApp& app, const std::wstring& name, int width = 201, int height = 121);

// The splash window, seen once, handed to `look` while it is on screen.
ExpectedWindow SplashThen(std::function<void(const WindowSnapshot&)> look, std::wstring screenshotLabel = {});

// Waits until the window is no longer visible (true) or the time is up.
bool WaitUntilHidden(HWND window, DWORD timeoutMs);

// The rectangle a picture of that size gets: centred on this screen.
RECT CentredOnScreen(int width, int height);

}  // namespace orvo::test
