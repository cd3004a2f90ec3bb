#pragma once
// The splash picture: the image file decoded by GDI+ and rendered once into a bitmap
// compatible with the screen, so that painting is a single copy.
#include <windows.h>

#include <string>

#include "foundation/unique_handle.h"
#include "splash/gdiplus_api.h"

namespace orvo {

struct SplashPicture {
    UniqueGdiObject bitmap;  // null for an image that could not be had
    int width = 0;
    int height = 0;
};

// The image at its natural size, drawn at (0,0) with high-quality settings. A missing
// or undecodable file, or one too large for a bitmap, gives an empty picture (0 by 0).
SplashPicture RenderSplashPicture(const GdiplusFlatApi& api, const std::wstring& imagePath);

}  // namespace orvo
