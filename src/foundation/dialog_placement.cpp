#include "foundation/dialog_placement.h"

namespace orvo {

namespace {

// Centred on `centreOn`, then pulled into `area`, the right and bottom edges first
// so that the left and top edges win.
POINT ClampedCentre(const RECT& box, const RECT& centreOn, const RECT& area) {
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    POINT origin{centreOn.left + (centreOn.right - centreOn.left - width) / 2,
                 centreOn.top + (centreOn.bottom - centreOn.top - height) / 2};
    if (origin.x + width > area.right) origin.x = area.right - width;
    if (origin.y + height > area.bottom) origin.y = area.bottom - height;
    if (origin.x < area.left) origin.x = area.left;
    if (origin.y < area.top) origin.y = area.top;
    return origin;
}

}  // namespace

void CentreDialog(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST),
                         &monitor)) {
        return;
    }
    RECT centreOn = monitor.rcWork;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &centreOn);
    RECT box{};
    GetWindowRect(dialog, &box);
    POINT origin = ClampedCentre(box, centreOn, monitor.rcWork);
    SetWindowPos(dialog, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace orvo
