#pragma once
// How the controls of a resizable dialog follow its size: each control keeps its
// distance to the edges it is anchored to. Pure, no <windows.h>.
#include <vector>

namespace orvo {

struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

// Which edges of a control follow the dialog's right and bottom edges. Moving wins over
// growing in the same direction.
struct ResizeAnchor {
    bool moveRight = false;  // the whole control moves with the right edge
    bool moveDown = false;   // the whole control moves with the bottom edge
    bool growWidth = false;  // only the control's right edge moves
    bool growHeight = false; // only the control's bottom edge moves

    static constexpr ResizeAnchor Stays() { return {}; }
    static constexpr ResizeAnchor MovesRightAndDown() { return {true, true, false, false}; }
    static constexpr ResizeAnchor Grows() { return {false, false, true, true}; }
    static constexpr ResizeAnchor GrowsInWidth() { return {false, false, true, false}; }
    static constexpr ResizeAnchor GrowsInWidthMovesDown() { return {false, true, true, false}; }
};

// The control's rectangle when the dialog's client area is `dx` wider and `dy` taller
// than it was when `initial` was recorded (negative values shrink).
LayoutRect ApplyResizeAnchor(const LayoutRect& initial, ResizeAnchor anchor, int dx, int dy);

}  // namespace orvo
