// The canvas state and its shape operations; text is in canvas_text.cpp.
#include "platform/graphics/canvas.h"

#include <algorithm>

#include "platform/graphics/bitmap_image.h"
#include "platform/graphics/raster.h"

namespace {

// The platform's MulDiv: a * b / c rounded half away from zero.
int MulDiv(long long a, long long b, long long c) {
    const long long p = a * b;
    const long long q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
    return int(q);
}

constexpr int kPixelsPerInch = 96;

raster::Target TargetOf(TBitmap& bitmap) {
    QImage& image = BitmapImage(bitmap);
    raster::Target t;
    if (image.isNull()) return t;
    t.bits = reinterpret_cast<std::uint32_t*>(image.bits());
    t.stride = image.bytesPerLine() / 4;
    t.width = image.width();
    t.height = image.height();
    return t;
}

int ClampedWidth(int width) { return std::clamp(width, 1, TCanvas::MaxPenWidth); }

raster::Ink PenInk(const TPen& pen) { return raster::Ink{ColorToPixel(pen.Color), pen.Mode == pmNot}; }

// In the inverting mode the brush inverts too, as the pen's mix mode applies to both.
raster::Ink BrushInk(const TBrush& brush, const TPen& pen) {
    return raster::Ink{ColorToPixel(brush.Color), pen.Mode == pmNot};
}

}  // namespace

int TFont::Size() const { return -MulDiv(Height, 72, kPixelsPerInch); }

void TFont::SetSize(int points) {
    points = std::clamp(points, -TCanvas::MaxFontHeight, TCanvas::MaxFontHeight);
    Height = -MulDiv(points, kPixelsPerInch, 72);
}

void TCanvas::Changed() { BitmapChanged(bitmap_); }

void TCanvas::MoveTo(int x, int y) {
    penPos_ = TPoint{x, y};
    patternPhase_ = 0;
}

void TCanvas::LineTo(int x, int y) {
    const TPoint from = penPos_;
    penPos_ = TPoint{x, y};
    if (Pen.Style == psClear) return;
    const int width = ClampedWidth(Pen.Width);
    const raster::Ink ink = PenInk(Pen);
    const bool wideCopy = width > 1 && !ink.invert;
    std::uint64_t& changes = bitmap_.GetImpl().changes;
    if (wideCopy && from == penPos_ && lastWideEnd_.point == from && lastWideEnd_.width == width &&
        lastWideEnd_.pixel == ink.pixel && lastWideEnd_.changes == changes)
        return;
    const raster::Target t = TargetOf(bitmap_);
    if (!t.bits) return;
    raster::Line(t, from.X, from.Y, x, y, width, Pen.Style, ink, patternPhase_);
    const std::uint64_t afterThisLine = changes + 1;  // a handler of OnChange that draws voids the memo
    Changed();
    if (wideCopy) lastWideEnd_ = WideEnd{penPos_, width, ink.pixel, afterThisLine};
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    const raster::Target t = TargetOf(bitmap_);
    if (!t.bits) return;
    const raster::Ink outline = PenInk(Pen), fill = BrushInk(Brush, Pen);
    raster::Rectangle(t, left, top, right, bottom, ClampedWidth(Pen.Width),
                      Pen.Style == psClear ? nullptr : &outline, Brush.Style == bsClear ? nullptr : &fill);
    Changed();
}

void TCanvas::FillRect(const TRect& r) {
    if (Brush.Style == bsClear) return;
    const raster::Target t = TargetOf(bitmap_);
    if (!t.bits) return;
    raster::Fill(t, r.Left, r.Top, r.Right, r.Bottom, raster::Ink{ColorToPixel(Brush.Color), false});
    Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    const raster::Target t = TargetOf(bitmap_);
    if (!t.bits) return;
    const raster::Ink outline = PenInk(Pen), fill = BrushInk(Brush, Pen);
    raster::Ellipse(t, left, top, right, bottom, ClampedWidth(Pen.Width),
                    Pen.Style == psClear ? nullptr : &outline, Brush.Style == bsClear ? nullptr : &fill);
    Changed();
}

TColor TCanvas::Pixels(int x, int y) const {
    const QImage& image = BitmapImage(bitmap_);
    if (image.isNull() || x < 0 || y < 0 || x >= image.width() || y >= image.height()) return clInvalid;
    return PixelToColor(reinterpret_cast<const std::uint32_t*>(image.constScanLine(y))[x]);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    const raster::Target t = TargetOf(bitmap_);
    if (!t.bits || x < 0 || y < 0 || x >= t.width || y >= t.height) return;
    t.Row(y)[x] = ColorToPixel(color);
    Changed();
}
