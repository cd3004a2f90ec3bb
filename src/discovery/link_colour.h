#pragma once
// The browser's link colours as the registry stores them ("Anchor Color" and
// "Anchor Color Visited", text such as "0,0,255"). Pure, no <windows.h>.
#include <cstdint>
#include <optional>
#include <string_view>

namespace orvo {

struct RgbColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

// Reads "R,G,B": at most 11 characters, two commas and a non-empty third part.
// Each part is read as a decimal integer the C way (leading blanks and a sign
// allowed, reading stops at the first non-digit, no digits read as 0) and only
// its low 8 bits count. nullopt for any other text, which leaves the default.
std::optional<RgbColour> ParseLinkColour(std::wstring_view text);

}  // namespace orvo
