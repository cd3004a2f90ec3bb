#include "splash/gdiplus_api.h"

#include <string>
#include <utility>

#include "foundation/dll_search.h"

namespace orvo {

namespace {

template <typename Function>
bool Resolve(HMODULE library, const char* name, Function& entry) {
    entry = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return entry != nullptr;
}

bool ResolveAll(HMODULE library, GdiplusFlatApi& api) {
    return Resolve(library, "GdiplusStartup", api.startup) && Resolve(library, "GdiplusShutdown", api.shutdown) &&
           Resolve(library, "GdipCreateBitmapFromFile", api.createBitmapFromFile) &&
           Resolve(library, "GdipGetImageWidth", api.getImageWidth) &&
           Resolve(library, "GdipGetImageHeight", api.getImageHeight) &&
           Resolve(library, "GdipDisposeImage", api.disposeImage) &&
           Resolve(library, "GdipCreateFromHDC", api.createFromHdc) &&
           Resolve(library, "GdipDeleteGraphics", api.deleteGraphics) &&
           Resolve(library, "GdipSetSmoothingMode", api.setSmoothingMode) &&
           Resolve(library, "GdipSetCompositingQuality", api.setCompositingQuality) &&
           Resolve(library, "GdipSetInterpolationMode", api.setInterpolationMode) &&
           Resolve(library, "GdipSetTextRenderingHint", api.setTextRenderingHint) &&
           Resolve(library, "GdipCreateImageAttributes", api.createImageAttributes) &&
           Resolve(library, "GdipDisposeImageAttributes", api.disposeImageAttributes) &&
           Resolve(library, "GdipSetImageAttributesWrapMode", api.setImageAttributesWrapMode) &&
           Resolve(library, "GdipDrawImageRectRectI", api.drawImageRectRectI);
}

}  // namespace

std::optional<GdiplusSession> GdiplusSession::Start() {
    UniqueModule library(LoadSystemLibrary(L"gdiplus.dll"));
    GdiplusFlatApi api{};
    if (!library || !ResolveAll(library.get(), api)) return std::nullopt;
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (api.startup(&token, &input, nullptr) != kGdipOk) return std::nullopt;
    return GdiplusSession(std::move(library), api, token);
}

GdiplusSession::GdiplusSession(UniqueModule library, const GdiplusFlatApi& api, ULONG_PTR token) noexcept
    : library_(std::move(library)), api_(api), token_(token) {}

GdiplusSession::GdiplusSession(GdiplusSession&& other) noexcept
    : library_(std::move(other.library_)), api_(other.api_), token_(std::exchange(other.token_, 0)) {}

GdiplusSession::~GdiplusSession() {
    if (token_) api_.shutdown(token_);
}

}  // namespace orvo
