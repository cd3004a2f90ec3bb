#include "splash/splash_window.h"

#include <optional>
#include <utility>

#include "foundation/error_box.h"
#include "foundation/gdi_scope.h"
#include "splash/splash_rules.h"

namespace orvo {

namespace {

constexpr wchar_t kSplashClassName[] = L"SplashScreenWindow";
// Far beyond what decoding a picture or ending the thread takes, even under load; past
// them the launch goes on rather than wait for the splash.
constexpr DWORD kStartWaitMs = 5000;
constexpr DWORD kStopWaitMs = 5000;

struct WinEventHookTraits {
    using Pointer = HWINEVENTHOOK;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer h) noexcept { UnhookWinEvent(h); }
};
using UniqueWinEventHook = UniqueHandle<WinEventHookTraits>;

bool RegisterSplashClass(bool shadow, WNDPROC windowProc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS | CS_SAVEBITS | (shadow ? CS_DROPSHADOW : 0u);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kSplashClassName;
    if (RegisterClassExW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return true;
    if (!shadow) return false;
    // Some systems refuse the shadow style; a splash without a shadow is still a splash.
    windowClass.style &= ~static_cast<UINT>(CS_DROPSHADOW);
    return RegisterClassExW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// A visible top-level window of this process that is neither the splash nor a box it
// owns: the Java program is on screen. Runs on the splash thread.
bool IsProgramWindow(HWND window) {
    if (!window || (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) || !IsWindowVisible(window)) return false;
    DWORD processId = 0;
    if (GetWindowThreadProcessId(window, &processId) == GetCurrentThreadId() || processId != GetCurrentProcessId()) {
        return false;
    }
    HWND owner = GetWindow(window, GW_OWNER);
    return !owner || GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId();
}

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM found) {
    if (!IsProgramWindow(window)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

bool ProgramWindowShown() {
    bool found = false;
    EnumWindows(&FindProgramWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Events of the splash thread itself are skipped, and only this process's are asked for.
void CALLBACK OnObjectShown(HWINEVENTHOOK, DWORD, HWND window, LONG objectId, LONG childId, DWORD, DWORD) {
    if (objectId == OBJID_WINDOW && childId == CHILDID_SELF && IsProgramWindow(window)) PostQuitMessage(0);
}

}  // namespace

SplashWindow::SplashWindow(std::wstring imagePath, bool shadow) : imagePath_(std::move(imagePath)), shadow_(shadow) {}

bool SplashWindow::Start() {
    settled_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, &ThreadProc, this, 0, &threadId_));
    if (!thread_) return false;
    if (settled_) {
        HANDLE waits[] = {settled_.get(), thread_.get()};
        WaitForMultipleObjects(2, waits, FALSE, kStartWaitMs);
    }
    return true;
}

bool SplashWindow::Stop() {
    if (!thread_) return true;
    quitRequested_ = true;
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);  // fails harmlessly once the thread has ended
    return WaitForSingleObject(thread_.get(), kStopWaitMs) == WAIT_OBJECT_0;
}

DWORD WINAPI SplashWindow::ThreadProc(void* self) {
    static_cast<SplashWindow*>(self)->RunThread();
    return 0;
}

void SplashWindow::RunThread() {
    HWND window = CreateSplashWindow();
    if (!window) {
        SetEvent(settled_.get());
        return;
    }
    SetErrorBoxOwner(window);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    UniqueWinEventHook watch(SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW, nullptr, &OnObjectShown,
                                             GetCurrentProcessId(), 0,
                                             WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNTHREAD));
    SetEvent(settled_.get());
    MSG message;
    while (!quitRequested_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    watch.reset();
    if (IsWindow(window)) DestroyWindow(window);
}

HWND SplashWindow::CreateSplashWindow() {
    if (!RegisterSplashClass(shadow_, &WindowProc)) return nullptr;
    {
        std::optional<GdiplusSession> gdiplus = GdiplusSession::Start();
        if (!gdiplus) return nullptr;  // no GDI+ from the system folder: the launch goes on without a splash
        picture_ = RenderSplashPicture(gdiplus->api(), imagePath_);
    }  // the rendered bitmap is plain GDI; GDI+ is not needed any more
    SplashPlacement place = CentredSplashPlacement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                                   picture_.width, picture_.height);
    return CreateWindowExW(WS_EX_TOOLWINDOW, kSplashClassName, L"", WS_POPUP, place.left, place.top, place.width,
                           place.height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK SplashWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<const SplashWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT:
        if (!self) break;
        self->Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the picture covers the whole window
    case WM_ACTIVATE:
        // A program window that takes the focus from the splash is on screen too. This
        // serves systems that report no show events (wine 8); the new window is not
        // the foreground one yet when the splash hears of it, but it is visible.
        if (LOWORD(wParam) == WA_INACTIVE && ProgramWindowShown()) PostQuitMessage(0);
        break;
    case WM_DESTROY:
        // However the window goes (closed from outside too), later boxes must not
        // name a window that no longer exists as their owner.
        SetErrorBoxOwner(nullptr);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void SplashWindow::Paint(HWND window) const {
    PaintScope paint(window);
    if (!paint || !picture_.bitmap) return;
    UniqueMemoryDc memory(CreateCompatibleDC(paint.get()));
    if (!memory) return;
    SelectedObject selected(memory.get(), picture_.bitmap.get());
    BitBlt(paint.get(), 0, 0, picture_.width, picture_.height, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace orvo
