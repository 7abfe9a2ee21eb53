// The areas on the picture: the region between the two curves of each row that is on,
// over the row's bounds, hatched with strokes at 45 degrees in the colour of the second
// function, closed by vertical edges at the bounds. Drawn before the curves, which lie
// over it.
#include <algorithm>

#include "dialogs/analysis_rows.h"
#include "dialogs/area_rows.h"
#include "dialogs/areas_hatching.h"
#include "engine/program_variant.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/pixel_mapping.h"
#include "platform/ui/components.h"

namespace {

struct HatchPattern {
    int period = 10;  // pixels between two strokes
    int phase = 2;    // shift of each further row's strokes, so that overlapping areas differ
};

HatchPattern PatternFor(int thickness) {
    HatchPattern pattern;
    pattern.period = int(std::clamp((5LL * thickness) / 2, 10LL, 25LL));
    pattern.phase = pattern.period / 5;
    return pattern;
}

bool IsDrawable(int function) {
    return IsFunctionIndex(function) && !GetFunctionEdit(function)->Text().empty() && IsFunctionShown(function);
}

// The marks of one pixel column X between the rows Ytop and Ybot: the rows whose
// row + X + offset is a multiple of the period, so that the marks of successive columns
// form strokes rising to the right, each `thickness` pixels thick.
void HatchColumn(TCanvas& canvas, int X, int Ytop, int Ybot, int offset, const HatchPattern& pattern, int thickness,
                 int height, TColor colour) {
    const int hp = pattern.period;
    const int half = thickness / 2;
    const long long m = X % hp;
    const long long start = ((m + Ytop - half + hp - 1 + offset) / hp) * hp - m - offset;
    const long long n = static_cast<long long>(Ybot) - half - start;
    if (n < 0) return;
    const long long last = start + (n / hp) * hp;
    // Only the rows inside the picture are visited, however far off it the curves go.
    long long row = start;
    if (row < 1) row += ((1 - row + hp - 1) / hp) * hp;
    for (; row <= last && row < height; row += hp)
        for (int k = 0; k < thickness; ++k) canvas.SetPixels(X, int(row) + k, colour);
}

void HatchArea(TCanvas& canvas, int r, const AnalysisParameters& p, const HatchPattern& pattern, int width,
               int height) {
    const AreaSettings row = GetAreaSettings(r);
    const int first = row.firstItem - 1;  // below 0: the zero function
    if (first >= 0 && !IsDrawable(first)) return;
    if (!IsDrawable(row.second)) return;
    const TColor colour = BlackAndWhite ? clBlack : FunctionColours[size_t(row.second)];
    canvas.Pen.Color = colour;
    canvas.Pen.Width = LineThickness;
    canvas.Pen.Style = psSolid;

    // A window without width (or reversed) has no column to hatch.
    if (!(WindowXMax > WindowXMin)) return;
    // The marks are as thick as the canvas would draw a pen of this width.
    const int thickness = std::clamp(LineThickness, 1, TCanvas::MaxPenWidth);
    const int offset = r * pattern.phase;
    long double x = std::max(row.lower, WindowXMin);
    const long double dx = (static_cast<long double>(WindowXMax) - WindowXMin) / width;
    const int Xend = PixelColumn(row.upper, width) - thickness / 2;
    while (x <= WindowXMax && x <= row.upper) {
        const long double f1 = first < 0 ? 0.0L : EvaluateInDomain(first, double(x), p.a, p.b);
        const long double f2 = EvaluateInDomain(row.second, double(x), p.a, p.b);
        if (f1 != UndefinedValue && f2 != UndefinedValue) {
            const int X = PixelColumn(x, width);
            const int Y1 = PixelRow(f1, height);
            const int Y2 = PixelRow(f2, height);
            if (x == row.lower || X == Xend) {
                canvas.MoveTo(X, Y1);
                canvas.LineTo(X, Y2);
            }
            const bool secondAbove = f2 - f1 > 0;
            HatchColumn(canvas, X, secondAbove ? Y2 : Y1, secondAbove ? Y1 : Y2, offset, pattern, thickness, height,
                        colour);
        }
        // A column narrower than the precision of x would never move on.
        const long double next = x + dx;
        if (next == x) break;
        x = next;
    }
}

}  // namespace

void DrawAreas(TBitmap& bitmap) {
    if (!AreaRowsExist()) return;
    HourglassCursor hourglass;
    AnalysisParameters parameters;
    try {
        parameters = ReadAnalysisParameters();
    } catch (...) {
        return;  // a or b cannot be read: no area is hatched, the redraw goes on
    }
    const HatchPattern pattern = PatternFor(LineThickness);
    TCanvas& canvas = bitmap.Canvas();
    for (int r = 0; r < AreaRowCount; ++r) {
        if (!IsAreaChecked(r)) continue;
        try {
            HatchArea(canvas, r, parameters, pattern, bitmap.Width(), bitmap.Height());
        } catch (...) {
            // A row that cannot be read (a bound, a function) is not hatched; the rows
            // after it are.
        }
    }
}
