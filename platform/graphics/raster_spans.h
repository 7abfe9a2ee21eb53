#pragma once
// Painting one horizontal run of pixels; shared by the line and shape rasterisers.
#include <algorithm>

#include "platform/graphics/raster.h"

namespace raster {

// Pixels xs..xe (inclusive, already clipped) of the row.
inline void PaintSpan(std::uint32_t* row, int xs, int xe, const Ink& ink) {
    if (xs > xe) return;
    if (ink.invert) {
        for (int x = xs; x <= xe; ++x) row[x] ^= 0x00FFFFFFu;
    } else {
        std::fill(row + xs, row + xe + 1, ink.pixel);
    }
}

// As PaintSpan, clipping to 0..width-1 first.
inline void PaintClippedSpan(std::uint32_t* row, long long xs, long long xe, int width, const Ink& ink) {
    xs = std::max(xs, 0LL);
    xe = std::min(xe, (long long)width - 1);
    if (xs <= xe) PaintSpan(row, int(xs), int(xe), ink);
}

}  // namespace raster
