#pragma once
// Where the launcher's dialogs appear on screen.
#include <windows.h>

namespace orvo {

// Centres the dialog over its owner when the owner is visible and not minimised,
// otherwise in the work area of the nearest monitor; then pulls it into that work
// area (the left and top edges win for a dialog larger than the area).
void CentreDialog(HWND dialog);

}  // namespace orvo
