#include "splash/gdiplus_api.h"

#include <string>
#include <utility>

namespace orvo {

namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// A Windows 7 without the DLL-search update refuses the flag (ERROR_INVALID_PARAMETER);
// the full path in the system folder is the same file there.
HMODULE LoadFromSystemFolder(const wchar_t* name) {
    HMODULE library = LoadLibraryExW(name, nullptr, kSearchSystem32);
    if (library || GetLastError() != ERROR_INVALID_PARAMETER) return library;
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

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
    UniqueModule library(LoadFromSystemFolder(L"gdiplus.dll"));
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
