#pragma once
// What a top-level window of another process shows, read once: its class, title,
// owner (and the owner's process), every child control, and for a message box its
// text and icon. The snapshot stays readable after the window has gone.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/message_icon.h"

namespace orvo::test {

struct ControlSnapshot {
    HWND handle = nullptr;
    std::wstring className;
    int id = 0;  // as GetDlgCtrlID gives it: 65535 for the message text of a box
    std::wstring text;
    DWORD style = 0;
    bool visible = false;
    bool enabled = false;
    RECT rect{};  // screen coordinates
};

struct WindowSnapshot {
    HWND handle = nullptr;
    DWORD processId = 0;
    std::wstring className;  // "#32770" for dialogs and message boxes
    std::wstring title;
    HWND owner = nullptr;        // null for an unowned window
    DWORD ownerProcessId = 0;    // 0 when there is no owner
    std::wstring ownerClassName;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};  // screen coordinates
    bool visible = false;
    std::vector<ControlSnapshot> controls;  // every descendant, in window order
    MessageIcon icon = MessageIcon::kNone;
    std::wstring screenshotPath;  // set when the harness saved a picture of it

    bool IsDialog() const { return className == L"#32770"; }
    // The text of a message box: the Static with id 65535 (Windows and wine 8), or
    // else the first visible Static with text that is not an icon or picture.
    std::wstring MessageText() const;
    // The control with that id, or null.
    const ControlSnapshot* Control(int id) const;
    // The first Button whose text, without "&" markers, equals the text; or null.
    const ControlSnapshot* Button(std::wstring_view text) const;
    // Text of every visible Button, in window order, without "&" markers.
    std::vector<std::wstring> ButtonTexts() const;
};

// Reads the window now. Text is asked for with WM_GETTEXT under a time limit, so
// an edit control's contents are read too and a hung process cannot block.
WindowSnapshot ReadWindow(HWND window);

// Every descendant control of the window, read now, in window order.
std::vector<ControlSnapshot> ReadControls(HWND window);

// Several lines for a failure message: class, title, owner, text, icon, controls.
std::wstring DescribeWindow(const WindowSnapshot& window);

// Visible top-level windows of those processes, in z-order.
std::vector<HWND> VisibleTopLevelWindows(const std::vector<DWORD>& processIds);

// The text with the "&" accelerator markers removed ("&&" stays as one "&").
std::wstring WithoutAccelerators(std::wstring_view text);

}  // namespace orvo::test
