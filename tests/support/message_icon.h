#pragma once
// Which of the standard message-box icons a window shows, read from the screen:
// the icon's handle lives in another process, so its colours are what can be
// compared, and they tell the standard icons apart on Windows and under wine
// (red error, yellow warning, blue information or question).
#include <windows.h>

#include <iosfwd>
#include <string>

#include "support/screenshot.h"

namespace orvo::test {

enum class MessageIcon {
    kNone,         // no icon control
    kError,        // mostly red
    kWarning,      // mostly yellow
    kInformation,  // mostly blue: information or question
    kUnknown,      // an icon of none of those colours (or not on screen)
};

// Reads the icon control (a Static with SS_ICON) of the window from the screen.
MessageIcon ReadMessageIcon(HWND window);

// The standard icon whose colour dominates the picture; kUnknown when none does.
MessageIcon ClassifyIconPixels(const ScreenImage& image);

std::wstring ToString(MessageIcon icon);
// Lets GoogleTest name the icon in its messages.
void PrintTo(MessageIcon icon, std::ostream* out);

}  // namespace orvo::test
