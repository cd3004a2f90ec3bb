#pragma once
// A static text control turned into a clickable link: hand cursor, underlined text
// in the browser's link colours, a tooltip naming the target, and activation by
// mouse, Enter or Space, which opens the target with the shell.
#include <windows.h>

#include <string>

#include "foundation/unique_handle.h"

namespace orvo {

struct LinkWindowTraits {  // the link's tooltip, a window it creates and destroys
    using Pointer = HWND;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer h) noexcept { DestroyWindow(h); }
};
using UniqueLinkWindow = UniqueHandle<LinkWindowTraits>;

class CHyperLink {
public:
    static constexpr COLORREF kDefaultLinkColour = RGB(0, 0, 255);
    static constexpr COLORREF kDefaultVisitedColour = RGB(128, 0, 128);

    CHyperLink() = default;
    // Gives the control back if it still exists.
    ~CHyperLink();
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    // Takes over the control: its text becomes both label and target. The control
    // is given back when it is destroyed. False when it cannot be subclassed.
    bool Attach(HWND control);

    // Opens the target with the shell; after success the link shows as visited.
    // Failure is silent.
    void Navigate();

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateFonts();
    void CreateTooltip();
    void ReadColours();
    void ComputeLinkRect();
    void RegisterTooltip();
    void Paint();
    UINT DrawTextFlags() const;
    COLORREF TextColour() const;
    bool PointInLink(POINT clientPoint) const;
    bool CursorInLink() const;
    void RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam);
    void OnButtonDown(POINT clientPoint);
    void OnButtonUp(POINT clientPoint);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    void Detach();

    HWND control_ = nullptr;
    std::wstring label_;
    std::wstring target_;
    HCURSOR handCursor_ = nullptr;  // shared system cursor, never destroyed
    HFONT normalFont_ = nullptr;    // the control's font, or ownNormalFont_
    UniqueGdiObject ownNormalFont_;
    UniqueGdiObject linkFont_;
    RECT linkRect_{};
    UniqueLinkWindow tooltip_;
    COLORREF linkColour_ = kDefaultLinkColour;
    COLORREF visitedColour_ = kDefaultVisitedColour;
    bool visited_ = false;
};

}  // namespace orvo
