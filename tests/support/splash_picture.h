#pragma once
// Pictures for the splash tests and the checks of what the screen shows of them: four
// quadrants of distinct colours (red, green over blue, white), which every format
// keeps recognisable (the GIF palette holds them exactly, JPEG nearly).
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "support/screenshot.h"

namespace orvo::test {

// Writes a width-by-height quadrant picture with that GDI+ encoder ("image/png",
// "image/jpeg", "image/bmp", "image/gif") to the path; returns the path.
std::wstring WriteQuadrantPicture(const std::wstring& path, int width, int height, std::wstring_view mimeType);

// The colour (0x00RRGGBB) of the quadrant picture at that pixel.
std::uint32_t QuadrantColour(int width, int height, int x, int y);

// Looks at the centre of each quadrant's part that lies on the screen, for a
// width-by-height picture shown with its top-left corner at `origin` (screen
// coordinates): every channel within `tolerance` of the picture's colour. Fails the
// running test, naming the quadrant, otherwise. The screenshot is taken now.
void ExpectQuadrantsOnScreen(POINT origin, int width, int height, int tolerance);

}  // namespace orvo::test
