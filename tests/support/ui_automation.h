#pragma once
// Acting on another process's windows as a person would: pressing a button,
// typing into a field, resizing, closing. Every action is posted or sent with a
// time limit, so a hung window never blocks the test.
#include <windows.h>

#include <string_view>

namespace orvo::test {

// Presses the dialog's button with that id the way the dialog manager reports a
// click (WM_COMMAND with BN_CLICKED to the button's parent). False when the
// dialog has no such visible, enabled button.
bool PressButton(HWND dialog, int buttonId);
// The same for the first button whose text, without "&" markers, equals the text.
bool PressButton(HWND dialog, std::wstring_view buttonText);

// Replaces the text of the dialog's control with that id (WM_SETTEXT). False when
// there is no such control or it did not take the text in time.
bool SetControlText(HWND dialog, int controlId, std::wstring_view text);

// Gives the window a new outer size, keeping its position. False on failure.
bool ResizeWindow(HWND window, int width, int height);

// Asks the window to close (WM_CLOSE); a message box with only OK closes with OK.
void RequestWindowClose(HWND window);

// Waits until the window's thread is idle in its message loop (or the time is up):
// the window has then handled everything sent before. False on time-out.
bool WaitUntilIdle(HWND window, UINT timeoutMs = 2000);

}  // namespace orvo::test
