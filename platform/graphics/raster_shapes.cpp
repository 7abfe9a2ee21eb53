// Rectangles and ellipses, row by row: an outline band of the pen's width and the inside.
#include <algorithm>
#include <cmath>

#include "platform/graphics/raster.h"
#include "platform/graphics/raster_spans.h"

namespace raster {

void Fill(const Target& t, long long left, long long top, long long right, long long bottom,
          const Ink& ink) {
    top = std::max(top, 0LL);
    bottom = std::min(bottom, (long long)t.height);
    if (top >= bottom) return;
    // Whole rows that follow each other in memory (a cleared picture) are one run.
    if (!ink.invert && left <= 0 && right >= t.width && t.stride == t.width) {
        SetPixels(t.Row(int(top)), std::size_t(bottom - top) * std::size_t(t.width), ink.pixel);
        return;
    }
    for (long long y = top; y < bottom; ++y) PaintClippedSpan(t.Row(int(y)), left, right - 1, t.width, ink);
}

void Rectangle(const Target& t, int left, int top, int right, int bottom, int penWidth,
               const Ink* outline, const Ink* fill) {
    long long l = std::min(left, right), r = std::max(left, right);
    long long tp = std::min(top, bottom), b = std::max(top, bottom);
    if (!outline) {
        if (fill) Fill(t, l, tp, r, b, *fill);
        return;
    }
    const long long w = std::max(penWidth, 1);
    const long long h0 = (w - 1) / 2, h1 = w / 2;
    // Outer box of the band and the box inside it, both inclusive.
    const long long ol = l - h0, orr = r - 1 + h1, ot = tp - h0, ob = b - 1 + h1;
    const long long il = l + 1 + h1, ir = r - 2 - h0, it = tp + 1 + h1, ib = b - 2 - h0;
    if (ol > orr || ot > ob) return;
    const bool hasInside = il <= ir && it <= ib;
    const long long yFirst = std::max(ot, 0LL), yLast = std::min(ob, (long long)t.height - 1);
    for (long long y = yFirst; y <= yLast; ++y) {
        std::uint32_t* row = t.Row(int(y));
        if (hasInside && y >= it && y <= ib) {
            PaintClippedSpan(row, ol, il - 1, t.width, *outline);
            if (fill) PaintClippedSpan(row, il, ir, t.width, *fill);
            PaintClippedSpan(row, ir + 1, orr, t.width, *outline);
        } else {
            PaintClippedSpan(row, ol, orr, t.width, *outline);
        }
    }
}

namespace {

// The pixels of a row whose centres lie inside the ellipse of centre (cx, cy) and semi-axes
// (a, b), as an inclusive range; empty (first > last) when none.
struct Range {
    long long first = 1, last = 0;
    bool Empty() const { return first > last; }
};

Range EllipseRow(double cx, double cy, double a, double b, double rowCentre) {
    Range out;
    if (a <= 0.0 || b <= 0.0) return out;
    const double d = (rowCentre - cy) / b;
    if (d * d > 1.0) return out;
    const double h = a * std::sqrt(1.0 - d * d);
    out.first = (long long)std::ceil(cx - h - 0.5);
    out.last = (long long)std::floor(cx + h - 0.5);
    return out;
}

}  // namespace

void Ellipse(const Target& t, int left, int top, int right, int bottom, int penWidth,
             const Ink* outline, const Ink* fill) {
    const double l = std::min(left, right), r = std::max(left, right);
    const double tp = std::min(top, bottom), b = std::max(top, bottom);
    const double cx = (l + r) / 2.0, cy = (tp + b) / 2.0;
    const double a = (r - l) / 2.0, bb = (b - tp) / 2.0;
    const double w = std::max(penWidth, 1);
    // The outline band reaches (w - 1) / 2 outside the ellipse and the rest inside it.
    const double out = outline ? (w - 1.0) / 2.0 : 0.0;
    const double in = outline ? w - out : 0.0;
    const double oa = a + out, ob = bb + out, ia = a - in, ib = bb - in;
    if (oa <= 0.0 || ob <= 0.0) return;
    const double yFirst = std::max(std::ceil(cy - ob - 0.5), 0.0);
    const double yLast = std::min(std::floor(cy + ob - 0.5), double(t.height - 1));
    for (double y = yFirst; y <= yLast; y += 1.0) {
        std::uint32_t* row = t.Row(int(y));
        const Range outer = EllipseRow(cx, cy, oa, ob, y + 0.5);
        if (outer.Empty()) continue;
        if (!outline) {
            if (fill) PaintClippedSpan(row, outer.first, outer.last, t.width, *fill);
            continue;
        }
        const Range inner = EllipseRow(cx, cy, ia, ib, y + 0.5);
        if (inner.Empty()) {
            PaintClippedSpan(row, outer.first, outer.last, t.width, *outline);
        } else {
            PaintClippedSpan(row, outer.first, inner.first - 1, t.width, *outline);
            if (fill) PaintClippedSpan(row, inner.first, inner.last, t.width, *fill);
            PaintClippedSpan(row, inner.last + 1, outer.last, t.width, *outline);
        }
    }
}

}  // namespace raster
