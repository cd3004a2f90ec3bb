#pragma once
// The launcher's one way to tell the user that a launch failed: a modal box with
// the error icon, no caption, and a text from the string table.
#include <windows.h>

#include <string>

namespace orvo {

// Owner of every error box: the own splash window, or null when there is none.
// Written once by the splash thread, read by any thread without a lock.
HWND ErrorBoxOwner() noexcept;
void SetErrorBoxOwner(HWND owner) noexcept;

// In service mode the text goes to the service log instead (service_log.h); in the
// console kind of launcher to standard error, as whole lines.
void ShowErrorBox(HWND owner, const std::wstring& text);
// Fills the template's one %s with text.
void ShowErrorBoxWithText(HWND owner, const std::wstring& templ, const std::wstring& text);
// Fills %s with text and %d with number.
void ShowErrorBoxWithCode(HWND owner, const std::wstring& templ, const std::wstring& text, int number);

}  // namespace orvo
