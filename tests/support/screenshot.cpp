#include "support/screenshot.h"

#include <gdiplus.h>

#include <memory>

#include "foundation/unique_handle.h"
#include "support/file_tree.h"
#include "support/harness_error.h"
#include "support/test_environment.h"

namespace orvo::test {

namespace {

// GDI+ is started once for the test program and shut down when it exits.
class GdiPlusSession {
public:
    GdiPlusSession() {
        Gdiplus::GdiplusStartupInput input;
        status_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiPlusSession() {
        if (status_ == Gdiplus::Ok) Gdiplus::GdiplusShutdown(token_);
    }
    bool ok() const { return status_ == Gdiplus::Ok; }

private:
    ULONG_PTR token_ = 0;
    Gdiplus::Status status_ = Gdiplus::GenericError;
};

CLSID EncoderFor(std::wstring_view mimeType) {
    UINT count = 0;
    UINT bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::unique_ptr<char[]> buffer(new char[bytes]);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    if (bytes == 0 || Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok)
        throw HarnessError(L"GDI+ lists no image encoders");
    for (UINT i = 0; i < count; ++i)
        if (std::wstring_view(encoders[i].MimeType) == mimeType) return encoders[i].Clsid;
    throw HarnessError(L"GDI+ has no encoder for " + std::wstring(mimeType));
}

RECT ClippedToScreen(const RECT& area) {
    RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT clipped{};
    IntersectRect(&clipped, &area, &screen);
    return clipped;
}

std::wstring ArtifactPath(std::wstring_view label) {
    std::wstring folder = ArtifactsFolder();
    CreateFolderTree(folder);
    return folder + L"\\" + CurrentTestName() + L"-" + FileNameSafe(label) + L".png";
}

}  // namespace

ScreenImage CaptureScreenArea(const RECT& area) {
    RECT clipped = ClippedToScreen(area);
    ScreenImage image{clipped.right - clipped.left, clipped.bottom - clipped.top, {}};
    if (image.width <= 0 || image.height <= 0) throw HarnessError(L"the area to capture lies outside the screen");
    HDC screen = GetDC(nullptr);
    ScopeExit releaseScreen([&] { ReleaseDC(nullptr, screen); });
    UniqueGdiObject bitmap(CreateCompatibleBitmap(screen, image.width, image.height));
    HDC memory = CreateCompatibleDC(screen);
    ScopeExit deleteMemory([&] { DeleteDC(memory); });
    HGDIOBJ previous = SelectObject(memory, bitmap.get());
    bool copied = BitBlt(memory, 0, 0, image.width, image.height, screen, clipped.left, clipped.top,
                         SRCCOPY | CAPTUREBLT);
    SelectObject(memory, previous);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    if (!copied || !GetDIBits(memory, static_cast<HBITMAP>(bitmap.get()), 0, image.height, image.pixels.data(),
                              &format, DIB_RGB_COLORS))
        throw HarnessError(L"cannot read the screen", GetLastError());
    for (std::uint32_t& pixel : image.pixels) pixel &= 0x00FFFFFF;
    return image;
}

void SavePng(const ScreenImage& image, const std::wstring& path) { SaveImage(image, path, L"image/png"); }

void SaveImage(const ScreenImage& image, const std::wstring& path, std::wstring_view mimeType) {
    static GdiPlusSession session;
    if (!session.ok()) throw HarnessError(L"GDI+ cannot be started");
    Gdiplus::Bitmap bitmap(image.width, image.height, image.width * 4, PixelFormat32bppRGB,
                           reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(image.pixels.data())));
    CLSID encoder = EncoderFor(mimeType);
    if (bitmap.Save(path.c_str(), &encoder, nullptr) != Gdiplus::Ok) throw HarnessError(L"cannot save the image " + path);
}

std::wstring SaveScreenshot(std::wstring_view label) {
    RECT everything{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    everything.right = everything.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    everything.bottom = everything.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    std::wstring path = ArtifactPath(label);
    SavePng(CaptureScreenArea(everything), path);
    return path;
}

std::wstring SaveWindowScreenshot(HWND window, std::wstring_view label) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Give a window that was partly covered the time to paint what now shows.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    Sleep(150);
    RECT area{};
    if (!GetWindowRect(window, &area)) throw HarnessError(L"the window to capture is gone", GetLastError());
    std::wstring path = ArtifactPath(label);
    SavePng(CaptureScreenArea(area), path);
    return path;
}

}  // namespace orvo::test
