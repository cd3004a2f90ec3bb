#pragma once
// The dialog that shows a Java exception which escaped main and lets the user ignore it
// or stop the application. Resizable; it never gets smaller than it started.
#include <windows.h>

#include <string>
#include <vector>

#include "hosting/resize_layout.h"

namespace orvo {

class CJavaExceptionDlg {
public:
    explicit CJavaExceptionDlg(std::wstring stackTrace) : stackTrace_(std::move(stackTrace)) {}
    CJavaExceptionDlg(const CJavaExceptionDlg&) = delete;
    CJavaExceptionDlg& operator=(const CJavaExceptionDlg&) = delete;

    // Shows the dialog modally over `owner` (may be null): IDOK for Ignore, IDCANCEL for
    // Stop, Escape or the close box, and -1 (or 0) when the dialog cannot be shown.
    INT_PTR Show(HWND owner);

private:
    struct AnchoredControl {
        HWND control;
        LayoutRect initial;  // client coordinates at WM_INITDIALOG
        ResizeAnchor anchor;
    };

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void ShowStackTrace();
    void CreateSizeGrip();
    void RecordLayout();
    void OnSize(WPARAM kind, int width, int height);
    void OnGetMinMaxInfo(MINMAXINFO* info) const;

    std::wstring stackTrace_;
    HWND dialog_ = nullptr;
    HWND sizeGrip_ = nullptr;
    SIZE initialClient_{};
    SIZE initialWindow_{};
    std::vector<AnchoredControl> layout_;
};

}  // namespace orvo
