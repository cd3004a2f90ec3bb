#pragma once
// GDI+ reached through its flat API, from the copy in the Windows system folder.
//
// GDI+ is not one of the libraries Windows always takes from the system folder, so
// the launcher neither imports it nor loads it by bare name: a gdiplus.dll placed
// beside the launcher (a Downloads folder) or in the current folder would run inside
// the launcher. It is loaded at run time from the system folder only.
#include <windows.h>

#include <memory>
#include <optional>

#include "foundation/unique_handle.h"

namespace orvo {

// Opaque GDI+ objects; a bitmap is passed wherever the flat API wants an image.
struct GpImage;
struct GpGraphics;
struct GpImageAttributes;

using GpStatus = int;  // 0 is Ok
inline constexpr GpStatus kGdipOk = 0;

struct GdiplusStartupInput {
    UINT32 gdiplusVersion = 1;
    void* debugEventCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
};

// The entry points the splash window uses, all resolved from one loaded gdiplus.dll.
struct GdiplusFlatApi {
    GpStatus(WINAPI* startup)(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
    void(WINAPI* shutdown)(ULONG_PTR token);
    GpStatus(WINAPI* createBitmapFromFile)(const WCHAR* fileName, GpImage** bitmap);
    GpStatus(WINAPI* getImageWidth)(GpImage* image, UINT* width);
    GpStatus(WINAPI* getImageHeight)(GpImage* image, UINT* height);
    GpStatus(WINAPI* disposeImage)(GpImage* image);
    GpStatus(WINAPI* createFromHdc)(HDC dc, GpGraphics** graphics);
    GpStatus(WINAPI* deleteGraphics)(GpGraphics* graphics);
    GpStatus(WINAPI* setSmoothingMode)(GpGraphics* graphics, int mode);
    GpStatus(WINAPI* setCompositingQuality)(GpGraphics* graphics, int quality);
    GpStatus(WINAPI* setInterpolationMode)(GpGraphics* graphics, int mode);
    GpStatus(WINAPI* setTextRenderingHint)(GpGraphics* graphics, int hint);
    GpStatus(WINAPI* createImageAttributes)(GpImageAttributes** attributes);
    GpStatus(WINAPI* disposeImageAttributes)(GpImageAttributes* attributes);
    GpStatus(WINAPI* setImageAttributesWrapMode)(GpImageAttributes* attributes, int wrap, DWORD argb, BOOL clamp);
    GpStatus(WINAPI* drawImageRectRectI)(GpGraphics* graphics, GpImage* image, INT dstX, INT dstY, INT dstWidth,
                                         INT dstHeight, INT srcX, INT srcY, INT srcWidth, INT srcHeight, int srcUnit,
                                         const GpImageAttributes* attributes, void* abortCallback,
                                         void* callbackData);
};

// The values of the GDI+ enumerations the splash uses.
inline constexpr int kSmoothingModeHighQuality = 2;
inline constexpr int kCompositingQualityHighQuality = 2;
inline constexpr int kInterpolationModeHighQualityBicubic = 7;
inline constexpr int kTextRenderingHintAntiAliasGridFit = 3;
inline constexpr int kWrapModeTileFlipXY = 3;
inline constexpr int kUnitPixel = 2;
inline constexpr DWORD kOpaqueBlack = 0xFF000000;

// GDI+ loaded from the system folder and started (version 1, no debug callback, its
// background thread and external codecs allowed) for as long as the object lives;
// shut down and unloaded when it ends.
class GdiplusSession {
public:
    // nullopt when the library cannot be loaded from the system folder, lacks an
    // entry point or does not start; the splash then goes without a picture.
    static std::optional<GdiplusSession> Start();

    GdiplusSession(GdiplusSession&& other) noexcept;
    GdiplusSession& operator=(GdiplusSession&&) = delete;
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession();

    const GdiplusFlatApi& api() const noexcept { return api_; }

private:
    GdiplusSession(UniqueModule library, const GdiplusFlatApi& api, ULONG_PTR token) noexcept;

    UniqueModule library_;
    GdiplusFlatApi api_;
    ULONG_PTR token_ = 0;
};

// Owners of GDI+ objects, each released through the matching flat-API call.
template <typename T>
struct GdipDeleter {
    GpStatus(WINAPI* release)(T*) = nullptr;
    void operator()(T* object) const noexcept {
        if (object && release) release(object);
    }
};
template <typename T>
using GdipObject = std::unique_ptr<T, GdipDeleter<T>>;

}  // namespace orvo
