#pragma once
// What orvo-pack may replace when it writes its output: nothing, or a regular file it
// may write. Anything else (a link, a folder, a device) is refused rather than
// replaced by a file.
#include <string>
#include <string_view>

namespace orvo::pack {

enum class OutputTarget {
    kAbsent,
    kRegularFile,
    kReadOnlyFile,
    kLink,  // a symbolic link, or on Windows any reparse point
    kDirectory,
    kDevice,
    kOther,  // a pipe, a socket
};

// Throws PackError (file access) naming `shownPath` for a target that must not be
// replaced: "<path>: cannot be replaced (a link)" and so on.
void RefuseUnlessReplaceable(OutputTarget target, const std::string& shownPath);

// True when Windows takes the path's last component as a device: CON, PRN, AUX, NUL,
// COM0-COM9, LPT0-LPT9 (also with a superscript digit), CONIN$ and CONOUT$, in any
// letter case, even with an extension or trailing spaces ("nul.exe", "Com1 .txt"); and
// any path in the device namespace ("\\.\...").
bool IsWindowsDeviceName(std::string_view path);

}  // namespace orvo::pack
