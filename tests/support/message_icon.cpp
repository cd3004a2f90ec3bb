#include "support/message_icon.h"

#include <array>
#include <ostream>

#include "support/wide_text.h"

namespace orvo::test {

namespace {

struct Rgb {
    int r, g, b;
};

Rgb Channels(std::uint32_t pixel) {
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

bool IsRed(Rgb c) { return c.r >= 150 && c.g <= 110 && c.b <= 110 && c.r - c.g >= 80; }
bool IsYellow(Rgb c) { return c.r >= 170 && c.g >= 130 && c.b <= 110 && c.r - c.b >= 90; }
bool IsBlue(Rgb c) { return c.b >= 140 && c.r <= 120 && c.b - c.r >= 60; }

HWND FindIconControl(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if (std::wstring_view(className) == L"Static" && (style & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child))
            return child;
    }
    return nullptr;
}

}  // namespace

MessageIcon ClassifyIconPixels(const ScreenImage& image) {
    std::array<std::size_t, 3> counts{};  // red, yellow, blue
    for (std::uint32_t pixel : image.pixels) {
        Rgb c = Channels(pixel);
        if (IsRed(c)) ++counts[0];
        else if (IsYellow(c)) ++counts[1];
        else if (IsBlue(c)) ++counts[2];
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < counts.size(); ++i)
        if (counts[i] > counts[best]) best = i;
    // A standard icon fills a good part of its square with its colour; a few
    // stray pixels of anti-aliasing do not make an icon.
    if (counts[best] * 10 < image.pixels.size()) return MessageIcon::kUnknown;
    constexpr std::array<MessageIcon, 3> kinds{MessageIcon::kError, MessageIcon::kWarning, MessageIcon::kInformation};
    return kinds[best];
}

MessageIcon ReadMessageIcon(HWND window) {
    HWND icon = FindIconControl(window);
    if (icon == nullptr) return MessageIcon::kNone;
    RECT area{};
    GetWindowRect(icon, &area);
    try {
        return ClassifyIconPixels(CaptureScreenArea(area));
    } catch (const std::exception&) {
        return MessageIcon::kUnknown;  // off screen: the colours cannot be seen
    }
}

std::wstring ToString(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kNone: return L"none";
        case MessageIcon::kError: return L"error";
        case MessageIcon::kWarning: return L"warning";
        case MessageIcon::kInformation: return L"information";
        case MessageIcon::kUnknown: return L"unknown";
    }
    return L"?";
}

void PrintTo(MessageIcon icon, std::ostream* out) { *out << Utf8(ToString(icon)); }

}  // namespace orvo::test
