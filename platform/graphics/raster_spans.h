#pragma once
// Painting one horizontal run of pixels; shared by the line and shape rasterisers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/graphics/raster.h"

namespace raster {

// n pixels from p set to one value. Long runs copy the first pixels in doubling blocks,
// which the C library does a vector at a time (a plain loop stores one pixel at a time).
inline void SetPixels(std::uint32_t* p, std::size_t n, std::uint32_t value) {
    constexpr std::size_t head = 16;
    // A value of four equal bytes (white, black) is one byte repeated.
    if (n > 2 * head && (value & 0xFFu) * 0x01010101u == value) {
        std::memset(p, int(value & 0xFFu), n * sizeof *p);
        return;
    }
    if (n <= 2 * head) {
        for (std::size_t i = 0; i < n; ++i) p[i] = value;
        return;
    }
    for (std::size_t i = 0; i < head; ++i) p[i] = value;
    for (std::size_t done = head; done < n;) {
        const std::size_t block = std::min(done, n - done);
        std::memcpy(p + done, p, block * sizeof *p);
        done += block;
    }
}

// Pixels xs..xe (inclusive, already clipped) of the row.
inline void PaintSpan(std::uint32_t* row, int xs, int xe, const Ink& ink) {
    if (xs > xe) return;
    if (ink.invert) {
        for (int x = xs; x <= xe; ++x) row[x] ^= 0x00FFFFFFu;
    } else {
        SetPixels(row + xs, std::size_t(xe - xs) + 1, ink.pixel);
    }
}

// As PaintSpan, clipping to 0..width-1 first.
inline void PaintClippedSpan(std::uint32_t* row, long long xs, long long xe, int width, const Ink& ink) {
    xs = std::max(xs, 0LL);
    xe = std::min(xe, (long long)width - 1);
    if (xs <= xe) PaintSpan(row, int(xs), int(xe), ink);
}

}  // namespace raster
