#pragma once
// Reading results back from a bitmap: counts, bounding boxes, whole-picture snapshots.
#include <vector>

#include "platform/graphics/bitmap.h"

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; right < left when empty
    bool Empty() const { return right < left; }
};

inline Box BoundingBox(TBitmap& b, TColor background = clWhite) {
    Box box{b.Width(), b.Height(), -1, -1};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Canvas().Pixels(x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    if (box.right < 0) return Box{};
    return box;
}

inline int CountColor(TBitmap& b, TColor color) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) n += b.Canvas().Pixels(x, y) == color;
    return n;
}

inline std::vector<TColor> Snapshot(TBitmap& b) {
    std::vector<TColor> pixels;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) pixels.push_back(b.Canvas().Pixels(x, y));
    return pixels;
}
