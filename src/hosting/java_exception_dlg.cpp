#include "hosting/java_exception_dlg.h"

#include <algorithm>

#include "foundation/dialog_placement.h"
#include "foundation/line_ends.h"
#include "resources/resource_ids.h"

namespace orvo {

namespace {

struct ControlAnchor {
    int id;
    ResizeAnchor anchor;
};

constexpr ControlAnchor kControlAnchors[] = {
    {IDOK, ResizeAnchor::MovesRightAndDown()},
    {IDCANCEL, ResizeAnchor::MovesRightAndDown()},
    {IDC_EXCEPTION_GROUP, ResizeAnchor::Grows()},
    {IDC_EXCEPTION_ICON, ResizeAnchor::Stays()},
    {IDC_EXCEPTION_INTRO, ResizeAnchor::GrowsInWidth()},
    {IDC_EXCEPTION_TRACE, ResizeAnchor::Grows()},
    {IDC_EXCEPTION_ADVICE, ResizeAnchor::GrowsInWidthMovesDown()},
    {IDC_EXCEPTION_WARNING, ResizeAnchor::GrowsInWidthMovesDown()},
};

LayoutRect ClientRectOf(HWND control, HWND dialog) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

INT_PTR CJavaExceptionDlg::Show(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_JAVA_EXCEPTION), owner, &DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CJavaExceptionDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<CJavaExceptionDlg*>(lParam)->dialog_ = dialog;
    }
    // Messages sent while the dialog is being created come before WM_INITDIALOG.
    auto* self = reinterpret_cast<CJavaExceptionDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CJavaExceptionDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_SIZE:
            OnSize(wParam, LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog_, LOWORD(wParam));
                return TRUE;
            }
            break;
    }
    return FALSE;
}

void CJavaExceptionDlg::OnInitDialog() {
    HWND icon = GetDlgItem(dialog_, IDC_EXCEPTION_ICON);
    // The template names the system's error icon, which the executable does not carry.
    if (icon && !SendMessageW(icon, STM_GETICON, 0, 0)) {
        SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_ERROR)), 0);
    }
    ShowStackTrace();
    CentreDialog(dialog_);
    RecordLayout();
    CreateSizeGrip();
}

void CJavaExceptionDlg::ShowStackTrace() {
    SetDlgItemTextW(dialog_, IDC_EXCEPTION_TRACE, WithCrLfLineEnds(stackTrace_).c_str());
    SendDlgItemMessageW(dialog_, IDC_EXCEPTION_TRACE, EM_SETREADONLY, TRUE, 0);
}

void CJavaExceptionDlg::RecordLayout() {
    RECT client{};
    GetClientRect(dialog_, &client);
    initialClient_ = {client.right, client.bottom};
    RECT window{};
    GetWindowRect(dialog_, &window);
    initialWindow_ = {window.right - window.left, window.bottom - window.top};
    for (const ControlAnchor& item : kControlAnchors) {
        HWND control = GetDlgItem(dialog_, item.id);
        if (control) layout_.push_back({control, ClientRectOf(control, dialog_), item.anchor});
    }
}

void CJavaExceptionDlg::CreateSizeGrip() {
    int width = GetSystemMetrics(SM_CXVSCROLL);
    int height = GetSystemMetrics(SM_CYHSCROLL);
    LayoutRect rect{initialClient_.cx - width, initialClient_.cy - height, initialClient_.cx, initialClient_.cy};
    sizeGrip_ = CreateWindowExW(0, L"SCROLLBAR", nullptr,
                                WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, rect.left,
                                rect.top, width, height, dialog_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (sizeGrip_) layout_.push_back({sizeGrip_, rect, ResizeAnchor::MovesRightAndDown()});
}

void CJavaExceptionDlg::OnSize(WPARAM kind, int width, int height) {
    if (kind == SIZE_MINIMIZED || layout_.empty()) return;
    // A maximised window cannot be resized from its corner.
    if (sizeGrip_) ShowWindow(sizeGrip_, kind == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOW);
    int dx = width - initialClient_.cx;
    int dy = height - initialClient_.cy;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(layout_.size()));
    for (const AnchoredControl& item : layout_) {
        LayoutRect r = ApplyResizeAnchor(item.initial, item.anchor, dx, dy);
        if (batch) {
            batch = DeferWindowPos(batch, item.control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (batch) EndDeferWindowPos(batch);
    // A group box paints only its frame; a moved one leaves its old frame behind
    // unless the dialog repaints.
    InvalidateRect(dialog_, nullptr, TRUE);
}

void CJavaExceptionDlg::OnGetMinMaxInfo(MINMAXINFO* info) const {
    if (initialWindow_.cx > 0) info->ptMinTrackSize = {initialWindow_.cx, initialWindow_.cy};
}

}  // namespace orvo
