#pragma once
// The aliased rasteriser behind the canvas: lines, rectangles and ellipses written straight
// into the 32-bit pixels of a bitmap. Internal to the drawing layer.
//
// Every routine clips to the target and does work bounded by the target's size, whatever
// the coordinates. Integer coordinates are pixel centres.
#include <cstddef>
#include <cstdint>

#include "platform/graphics/canvas.h"

namespace raster {

struct Target {
    std::uint32_t* bits = nullptr;  // first pixel of row 0
    std::ptrdiff_t stride = 0;      // pixels from one row to the next
    int width = 0;
    int height = 0;
    std::uint32_t* Row(int y) const { return bits + stride * y; }
};

// How covered pixels change: painted with a pixel value, or inverted.
struct Ink {
    std::uint32_t pixel = 0xFF000000u;
    bool invert = false;
};

// A line from (x0, y0) to (x1, y1). Width 1 (anything below 2): one pixel per step of the
// major axis, the end point excluded, the dash pattern of the style applied, `phase`
// (pixels of pattern already used) advanced by the line's length. Wider: the pixels within
// width/2 of the segment, end caps round, solid.
void Line(const Target& target, int x0, int y0, int x1, int y1, int width, TPenStyle style,
          const Ink& ink, std::int64_t& phase);

// The rectangle [left, right) x [top, bottom): outline band of penWidth centred on the edge
// pixels (when outline is set), inside filled (when fill is set).
void Rectangle(const Target& target, int left, int top, int right, int bottom, int penWidth,
               const Ink* outline, const Ink* fill);

// The ellipse inscribed in [left, right) x [top, bottom), outline and fill as Rectangle.
void Ellipse(const Target& target, int left, int top, int right, int bottom, int penWidth,
             const Ink* outline, const Ink* fill);

// Paints the rectangle [left, right) x [top, bottom), clipped.
void Fill(const Target& target, long long left, long long top, long long right, long long bottom,
          const Ink& ink);

}  // namespace raster
