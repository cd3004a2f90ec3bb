#pragma once
// Pictures of what a person would see: the whole screen or one window, taken from
// the screen and saved as PNG files (GDI+'s image/png encoder) in ORVO_ARTIFACTS.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::test {

struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows from the top

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The screen's pixels inside the rectangle (screen coordinates), clipped to the
// screen. Throws HarnessError when the screen cannot be read.
ScreenImage CaptureScreenArea(const RECT& area);

// Encodes the image as PNG into the file; throws HarnessError on failure.
void SavePng(const ScreenImage& image, const std::wstring& path);
// The same with any encoder GDI+ has ("image/jpeg", "image/bmp", "image/gif", ...).
void SaveImage(const ScreenImage& image, const std::wstring& path, std::wstring_view mimeType);

// Saves the whole screen as "<ORVO_ARTIFACTS>\<Suite-Test>-<label>.png"; returns the path.
std::wstring SaveScreenshot(std::wstring_view label);

// Saves the window's rectangle as it shows on screen (the window is raised first,
// without activating it); same naming. Returns the path.
std::wstring SaveWindowScreenshot(HWND window, std::wstring_view label);

}  // namespace orvo::test
