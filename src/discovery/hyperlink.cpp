#include "discovery/hyperlink.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>

#include "discovery/link_colour.h"
#include "discovery/registry_reader.h"
#include "foundation/gdi_scope.h"

namespace orvo {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kToolId = 1;
constexpr const wchar_t* kBrowserSettingsKey = L"Software\\Microsoft\\Internet Explorer\\Settings";

// A static without SS_NOTIFY is transparent to the mouse and never sees a click.
void AddNotifyStyleToStatic(HWND control) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"static") != 0) return;
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

// A string value of the browser's settings under HKEY_CURRENT_USER; nullopt when the
// key or value is missing or the value is not a (possibly expandable) string.
std::optional<std::wstring> ReadBrowserSetting(const wchar_t* valueName) {
    std::optional<UniqueRegKey> key = OpenRegistryKey(HKEY_CURRENT_USER, kBrowserSettingsKey, RegistryView::Default);
    return key ? ReadRegistryString(key->get(), valueName) : std::nullopt;
}

COLORREF ReadAnchorColour(const wchar_t* valueName, COLORREF fallback) {
    std::optional<std::wstring> text = ReadBrowserSetting(valueName);
    if (!text) return fallback;
    std::optional<RgbColour> colour = ParseLinkColour(*text);
    return colour ? RGB(colour->red, colour->green, colour->blue) : fallback;
}

}  // namespace

CHyperLink::~CHyperLink() {
    if (control_ != nullptr) Detach();
}

bool CHyperLink::Attach(HWND control) {
    if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    control_ = control;
    AddNotifyStyleToStatic(control_);
    handCursor_ = LoadCursorW(nullptr, IDC_HAND);
    CreateFonts();
    CreateTooltip();
    label_ = WindowText(control_);
    target_ = label_;
    ComputeLinkRect();
    RegisterTooltip();
    ReadColours();
    return true;
}

void CHyperLink::CreateFonts() {
    normalFont_ = reinterpret_cast<HFONT>(SendMessageW(control_, WM_GETFONT, 0, 0));
    if (normalFont_ == nullptr) {
        LOGFONTW iconTitle{};
        SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(iconTitle), &iconTitle, 0);
        ownNormalFont_.reset(CreateFontIndirectW(&iconTitle));
        normalFont_ = static_cast<HFONT>(ownNormalFont_.get());
    }
    LOGFONTW underlined{};
    GetObjectW(normalFont_, sizeof(underlined), &underlined);
    underlined.lfUnderline = TRUE;
    linkFont_.reset(CreateFontIndirectW(&underlined));
}

void CHyperLink::CreateTooltip() {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(control_, GWLP_HINSTANCE));
    tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control_, nullptr,
                                   instance, nullptr));
}

void CHyperLink::ReadColours() {
    linkColour_ = ReadAnchorColour(L"Anchor Color", kDefaultLinkColour);
    visitedColour_ = ReadAnchorColour(L"Anchor Color Visited", kDefaultVisitedColour);
}

UINT CHyperLink::DrawTextFlags() const {
    LONG_PTR style = GetWindowLongPtrW(control_, GWL_STYLE);
    UINT flags = DT_WORDBREAK;
    switch (style & SS_TYPEMASK) {
        case SS_CENTER: flags |= DT_CENTER; break;
        case SS_RIGHT: flags |= DT_RIGHT; break;
        default: flags |= DT_LEFT; break;
    }
    if ((style & SS_NOPREFIX) != 0) flags |= DT_NOPREFIX;
    return flags;
}

void CHyperLink::ComputeLinkRect() {
    RECT client{};
    GetClientRect(control_, &client);
    linkRect_ = client;
    const UINT flags = DrawTextFlags();
    RECT extent = client;
    {
        WindowDc dc(control_);
        if (!dc) return;
        SelectedObject font(dc.get(), linkFont_.get());
        DrawTextW(dc.get(), label_.c_str(), -1, &extent, flags | DT_CALCRECT);
    }
    // What is drawn is clipped to the control, so the link is no larger than it.
    const LONG width = std::min(extent.right - extent.left, client.right - client.left);
    const LONG height = std::min(extent.bottom - extent.top, client.bottom - client.top);
    const LONG slack = client.right - client.left - width;
    const LONG left = client.left + ((flags & DT_CENTER) ? slack / 2 : (flags & DT_RIGHT) ? slack : 0);
    linkRect_ = {left, client.top, left + width, client.top + height};
}

void CHyperLink::RegisterTooltip() {
    if (!tooltip_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // accepted by every common-controls version
    tool.hwnd = control_;
    tool.uId = kToolId;
    tool.rect = linkRect_;
    tool.lpszText = target_.data();
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

COLORREF CHyperLink::TextColour() const {
    if (!IsWindowEnabled(control_)) return GetSysColor(COLOR_GRAYTEXT);
    return visited_ ? visitedColour_ : linkColour_;
}

void CHyperLink::Paint() {
    PaintScope paint(control_);
    if (!paint) return;
    HDC dc = paint.get();
    RECT client{};
    GetClientRect(control_, &client);
    // The dialog's static-control brush keeps the link on the same background as
    // the text around it, themed or not.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(control_), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(control_)));
    FillRect(dc, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TextColour());
    {
        SelectedObject font(dc, linkFont_.get());
        DrawTextW(dc, label_.c_str(), -1, &client, DrawTextFlags());
    }
    if (GetFocus() == control_) DrawFocusRect(dc, &linkRect_);
}

bool CHyperLink::PointInLink(POINT clientPoint) const { return PtInRect(&linkRect_, clientPoint) != FALSE; }

bool CHyperLink::CursorInLink() const {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(control_, &point);
    return PointInLink(point);
}

void CHyperLink::RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tooltip_) return;
    MSG relayed{control_, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    DWORD position = GetMessagePos();
    relayed.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    SendMessageW(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void CHyperLink::OnButtonDown(POINT clientPoint) {
    if (!PointInLink(clientPoint)) return;
    SetFocus(control_);
    SetCapture(control_);
}

void CHyperLink::OnButtonUp(POINT clientPoint) {
    if (GetCapture() != control_) return;
    ReleaseCapture();
    if (PointInLink(clientPoint)) Navigate();
}

LRESULT CHyperLink::OnGetDlgCode(WPARAM, LPARAM lParam) {
    // Characters bring Space; Enter is a key the dialog would take for its default
    // button, so the control claims that one key press as well.
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (message != nullptr && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
        return DLGC_WANTCHARS | DLGC_WANTMESSAGE;
    }
    return DLGC_WANTCHARS;
}

void CHyperLink::Navigate() {
    HINSTANCE result = ShellExecuteW(nullptr, L"open", target_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // No browser or no association: the dialog simply stays as it is.
    if (reinterpret_cast<INT_PTR>(result) <= 32) return;
    visited_ = true;
    InvalidateRect(control_, nullptr, TRUE);
}

void CHyperLink::Detach() {
    RemoveWindowSubclass(control_, SubclassProc, kSubclassId);
    tooltip_.reset();
    linkFont_.reset();
    ownNormalFont_.reset();
    normalFont_ = nullptr;
    control_ = nullptr;
}

LRESULT CALLBACK CHyperLink::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        reinterpret_cast<CHyperLink*>(self)->Detach();
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return reinterpret_cast<CHyperLink*>(self)->HandleMessage(message, wParam, lParam);
}

LRESULT CHyperLink::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) RelayToTooltip(message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
            InvalidateRect(control_, nullptr, TRUE);
            break;
        case WM_SETCURSOR:
            if (handCursor_ != nullptr && CursorInLink()) {
                SetCursor(handCursor_);
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            OnButtonDown(point);
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(point);
            return 0;
        case WM_GETDLGCODE:
            return OnGetDlgCode(wParam, lParam);
        case WM_CHAR:
            if (wParam == L' ' || wParam == L'\r') {
                Navigate();
                return 0;
            }
            break;
        default:
            break;
    }
    return DefSubclassProc(control_, message, wParam, lParam);
}

}  // namespace orvo
