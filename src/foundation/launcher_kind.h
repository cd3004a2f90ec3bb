#pragma once
// The two kinds of launcher built from the same program. The windowed kind tells the
// user everything in windows; the console kind belongs to the console it was started
// from, as java.exe does: its messages are text on standard error and the caller
// waits for its exit code. The kind is the subsystem field of the executable's own
// header, so one field turns either into the other (orvo-pack --console, --windows).
namespace orvo {

// True for an executable marked for the console subsystem.
bool IsConsoleLauncher() noexcept;

}  // namespace orvo
