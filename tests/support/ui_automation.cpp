#include "support/ui_automation.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "support/window_snapshot.h"

namespace orvo::test {

namespace {

bool ClickFirstButton(HWND dialog, const std::function<bool(const ControlSnapshot&)>& wanted) {
    std::vector<ControlSnapshot> controls = ReadControls(dialog);
    auto button = std::find_if(controls.begin(), controls.end(), [&](const ControlSnapshot& c) {
        return c.className == L"Button" && c.visible && c.enabled && wanted(c);
    });
    if (button == controls.end()) return false;
    return PostMessageW(GetParent(button->handle), WM_COMMAND, MAKEWPARAM(button->id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button->handle)) != FALSE;
}

}  // namespace

bool PressButton(HWND dialog, int buttonId) {
    return ClickFirstButton(dialog, [&](const ControlSnapshot& c) { return c.id == buttonId; });
}

bool PressButton(HWND dialog, std::wstring_view buttonText) {
    return ClickFirstButton(dialog,
                            [&](const ControlSnapshot& c) { return WithoutAccelerators(c.text) == buttonText; });
}

bool SetControlText(HWND dialog, int controlId, std::wstring_view text) {
    HWND control = GetDlgItem(dialog, controlId);
    if (control == nullptr) return false;
    std::wstring copy(text);
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()), SMTO_ABORTIFHUNG, 2000,
                               &result) &&
           result != FALSE;
}

bool ResizeWindow(HWND window, int width, int height) {
    return SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void RequestWindowClose(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

bool WaitUntilIdle(HWND window, UINT timeoutMs) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored) != 0;
}

}  // namespace orvo::test
