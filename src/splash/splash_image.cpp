#include "splash/splash_image.h"

#include "foundation/gdi_scope.h"

namespace orvo {

namespace {

// Far beyond any screen; keeps the placement arithmetic and the bitmap size in range
// whatever the file claims.
constexpr UINT kMaxSide = 32767;

GdipObject<GpImage> LoadImageFile(const GdiplusFlatApi& api, const std::wstring& path, UINT& width, UINT& height) {
    GpImage* raw = nullptr;
    if (api.createBitmapFromFile(path.c_str(), &raw) != kGdipOk) return GdipObject<GpImage>();
    GdipObject<GpImage> image(raw, {api.disposeImage});
    if (api.getImageWidth(raw, &width) != kGdipOk || api.getImageHeight(raw, &height) != kGdipOk) {
        return GdipObject<GpImage>();
    }
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return GdipObject<GpImage>();
    return image;
}

// GDI+ drawing on the memory DC; the graphics object is gone before the caller
// takes the bitmap out of the DC.
void DrawImage(const GdiplusFlatApi& api, HDC dc, GpImage* image, int width, int height) {
    GpGraphics* rawGraphics = nullptr;
    if (api.createFromHdc(dc, &rawGraphics) != kGdipOk) return;
    GdipObject<GpGraphics> graphics(rawGraphics, {api.deleteGraphics});
    api.setSmoothingMode(rawGraphics, kSmoothingModeHighQuality);
    api.setCompositingQuality(rawGraphics, kCompositingQualityHighQuality);
    api.setInterpolationMode(rawGraphics, kInterpolationModeHighQualityBicubic);
    api.setTextRenderingHint(rawGraphics, kTextRenderingHintAntiAliasGridFit);
    GpImageAttributes* rawAttributes = nullptr;
    if (api.createImageAttributes(&rawAttributes) != kGdipOk) rawAttributes = nullptr;
    GdipObject<GpImageAttributes> attributes(rawAttributes, {api.disposeImageAttributes});
    // High-quality interpolation samples beyond the image's edge; mirrored tiles there
    // keep the border from fading into the surrounding black.
    if (attributes) api.setImageAttributesWrapMode(rawAttributes, kWrapModeTileFlipXY, kOpaqueBlack, FALSE);
    api.drawImageRectRectI(rawGraphics, image, 0, 0, width, height, 0, 0, width, height, kUnitPixel, rawAttributes,
                           nullptr, nullptr);
}

}  // namespace

SplashPicture RenderSplashPicture(const GdiplusFlatApi& api, const std::wstring& imagePath) {
    UINT width = 0;
    UINT height = 0;
    GdipObject<GpImage> image = LoadImageFile(api, imagePath, width, height);
    if (!image) return {};
    WindowDc screen(nullptr);
    SplashPicture picture;
    picture.bitmap.reset(CreateCompatibleBitmap(screen.get(), static_cast<int>(width), static_cast<int>(height)));
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!picture.bitmap || !memory) return {};
    {
        SelectedObject selected(memory.get(), picture.bitmap.get());
        DrawImage(api, memory.get(), image.get(), static_cast<int>(width), static_cast<int>(height));
    }
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    return picture;
}

}  // namespace orvo
