#include "hosting/resize_layout.h"

namespace orvo {

LayoutRect ApplyResizeAnchor(const LayoutRect& initial, ResizeAnchor anchor, int dx, int dy) {
    LayoutRect rect = initial;
    if (anchor.moveRight) {
        rect.left += dx;
        rect.right += dx;
    } else if (anchor.growWidth) {
        rect.right += dx;
    }
    if (anchor.moveDown) {
        rect.top += dy;
        rect.bottom += dy;
    } else if (anchor.growHeight) {
        rect.bottom += dy;
    }
    return rect;
}

}  // namespace orvo
