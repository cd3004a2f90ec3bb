#pragma once
// Driving the shell's folder picker (SHBrowseForFolderW) of another process to a
// folder through its tree, with messages that return only once the picker has
// done what they ask: nothing waits for time, so a busy machine changes nothing.
#include <windows.h>

#include <string>

namespace orvo::test {

// The visible folder picker (a dialog-class window) owned by `owner`, once it is
// ready for messages; null when none appeared within timeoutMs.
HWND WaitForFolderPicker(HWND owner, DWORD timeoutMs);

// Selects `folder` (a full path on a drive, no trailing backslash): opens the
// drive's item and then each folder of the path in turn (TVM_EXPAND, during which
// the picker lists the folder's children), then selects the last one. (The
// picker's own BFFM_SETSELECTION message is no help under wine, where it fails
// from a fresh picker.) On any failure adds a test failure saying what the tree
// shows, and returns false.
bool SelectFolderInPicker(HWND picker, const std::wstring& folder);

// True once the window is gone or hidden; false when timeoutMs passed first.
bool WaitUntilClosed(HWND window, DWORD timeoutMs);

}  // namespace orvo::test
