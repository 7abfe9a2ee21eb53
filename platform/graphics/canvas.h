#pragma once
// The drawing surface of a bitmap, stateful like the platform's device context. Every
// bitmap owns one canvas (TBitmap::Canvas()); pen, brush, font and pen position persist
// between calls.
//
// Property style of the drawing layer: a property that is plain stored state is a public
// data member (Pen.Color, Pen.Width, Brush.Style, Font.Height, ...) and takes effect at the
// next drawing call; a property whose reading or writing does work is a getter/setter pair
// named Name()/SetName() (PenPos()/SetPenPos(), Pixels()/SetPixels(), Font.Size()/SetSize(),
// and on the bitmap Width()/SetWidth()).
//
// Coordinates are pixels, (0, 0) the top left corner, y growing downwards. Any int is
// accepted: what falls outside the bitmap is clipped, and the work of every call is bounded
// by the bitmap's size, whatever the coordinates, widths and font sizes given.
//
// Lines are drawn by our own aliased rasteriser, so results are exact and repeatable:
//  - width 1 (and every width below 1): one pixel per step of the major axis, the last
//    pixel (the end point) excluded, so that connected LineTo calls never cover a pixel
//    twice; a line to the current position draws nothing. The styles psDash, psDot,
//    psDashDot and psDashDotDot apply at width 1 only; their pattern starts at MoveTo and
//    runs on across connected LineTo calls.
//  - width w > 1: every pixel whose centre lies within w/2 of the segment (round caps at
//    both ends, end point included; even widths measure from the pixel's lower right
//    corner instead of its centre); always solid whatever the style. A horizontal line of
//    width w covers exactly w rows. Widths are clamped to MaxPenWidth.
//  - pmNot inverts every pixel the line covers instead of painting it; inverting twice
//    restores the image.
// Text is drawn through the GUI library without antialiasing, with the font's face looked
// up through fontconfig ("Arial" resolves to a metric-compatible face). The text functions
// need a running QGuiApplication (they throw std::logic_error without one).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/graphics/color.h"
#include "platform/graphics/geometry.h"

class TBitmap;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
// pmCopy paints in the pen's colour; pmNot inverts the pixels the pen covers.
enum TPenMode { pmCopy, pmNot };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    friend bool operator==(const TPen&, const TPen&) = default;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    friend bool operator==(const TBrush&, const TBrush&) = default;
};

// Font heights follow the platform: a positive Height is the height of the character cell
// (ascent plus descent) in pixels, a negative Height the character height (the em size)
// in pixels. Size is in points at 96 pixels per inch: SetSize sets a negative Height, and
// Size() of a positive Height is negative, as on the platform. Heights are clamped to
// MaxFontHeight when drawn; 0 stands for the default height.
struct TFont {
    std::string Name = "Arial";  // face, Windows-1252; "Symbol" shows letters as Greek ("p" is pi)
    int Height = -11;
    TColor Color = clBlack;
    bool Bold = false;

    int Size() const;
    void SetSize(int points);
    friend bool operator==(const TFont&, const TFont&) = default;
};

class TCanvas {
public:
    static constexpr int MaxPenWidth = 256;
    static constexpr int MaxFontHeight = 4096;  // pixels, either sign

    explicit TCanvas(TBitmap& bitmap);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas();

    TPen Pen;
    TBrush Brush;
    TFont Font;

    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }

    void MoveTo(int x, int y);
    // A line from the pen position to (x, y) with the pen; the pen then stands at (x, y).
    void LineTo(int x, int y);

    // The rectangle (left, top)-(right, bottom), right and bottom excluded: its outline with
    // the pen (band of the pen's width centred on the edge pixels), its inside with the
    // brush. The pen mode applies to both. Outlines are drawn solid for every visible style.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Fills the rectangle with the brush (nothing when the brush is clear); ignores the pen.
    void FillRect(const TRect& r);
    // The ellipse inscribed in the rectangle (left, top)-(right, bottom), right and bottom
    // excluded: outline with the pen (a band of the pen's width: (width - 1) / 2 outside the
    // ellipse, the rest inside), inside with the brush, as Rectangle.
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }

    // The colour of one pixel; clInvalid outside the bitmap. Writes outside are ignored.
    TColor Pixels(int x, int y) const;
    void SetPixels(int x, int y, TColor color);

    // Writes the Windows-1252 text with the top left of its cell at (x, y), in the font's
    // colour; with a solid brush the cell (text width by text height) is filled with the
    // brush colour first, with a clear brush the background shows through. The pen moves
    // to (x + TextWidth(text), y).
    void TextOut(int x, int y, std::string_view text);
    int TextWidth(std::string_view text);
    // The cell height of the current font (the same for every text).
    int TextHeight(std::string_view text);

    TBitmap& Bitmap() const { return bitmap_; }

private:
    void Changed();

    TBitmap& bitmap_;
    TPoint penPos_{};
    std::int64_t patternPhase_ = 0;  // position in the dash pattern of a width-1 styled pen
    // The round end of the last wide line drawn in the copy mode, while nothing else has
    // changed the bitmap: a line from there to the same point would repaint it unchanged
    // (the curve sampler draws many of those).
    struct WideEnd {
        TPoint point;
        int width = 0;
        std::uint32_t pixel = 0;
        std::uint64_t changes = ~std::uint64_t(0);
    } lastWideEnd_;
    // The Qt font of the last text drawn or measured, and the width of its last text: the
    // graduation measures and writes each label with the same font.
    struct TextFont;
    std::unique_ptr<TextFont> textFont_;
    TextFont& TextFontFor(const TFont& font);
};
