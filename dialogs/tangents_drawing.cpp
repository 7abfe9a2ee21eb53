// The tangents on the picture: a stretch of each tangent line centred on the point where
// its slope was estimated, with an arrowhead at each end that was sampled.
#include <cmath>

#include "dialogs/analysis_rows.h"
#include "dialogs/tangent_rows.h"
#include "dialogs/tangents_drawing.h"
#include "dialogs/tangents_estimate.h"
#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/pixel_mapping.h"
#include "platform/ui/components.h"

namespace {

// Half of the drawn stretch, along the line, in world units: 12 % of the window's width.
constexpr double HalfLengthShare = 0.12;
// The angle between the tangent and each stroke of an arrowhead (3.14 / 9).
constexpr double ArrowAngle = 0.34888888888888889;

// A stroke of an arrowhead at the end of the half-line (ux, uy): the half's direction
// turned by `angle`, reversed, `length` pixels long.
TPoint ArrowStroke(double ux, double uy, double length, double angle) {
    const double norm = std::sqrt(ux * ux + uy * uy);
    // A half that maps onto a single pixel has no direction to point in.
    if (norm == 0) return TPoint{0, 0};
    const double k = length / norm;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return TPoint{-RoundToInt(k * (c * ux - s * uy)), -RoundToInt(k * (s * ux + c * uy))};
}

void DrawTangent(TCanvas& canvas, int r, int width, int height) {
    const double s = TangentSlopes[size_t(r)];
    const double q = TangentIntercepts[size_t(r)];
    const double p = TangentPoints[size_t(r)];
    const std::int32_t side = TangentSides[size_t(r)];
    const double d = std::fabs(WindowXMax - WindowXMin) * HalfLengthShare;
    const double dx = d / std::sqrt(s * s + 1);

    const TPoint c{PixelColumn(p, width), PixelRow(s * p + q, height)};
    const TPoint right{PixelColumn(p + dx, width), PixelRow((p + dx) * s + q, height)};
    const TPoint left{PixelColumn(p - dx, width), PixelRow((p - dx) * s + q, height)};

    const double ux = double(right.X) - c.X;
    const double uy = double(right.Y) - c.Y;
    const double strokeLength = (LineThickness / 2.0 + 1) * 6;
    const TPoint first = ArrowStroke(ux, uy, strokeLength, ArrowAngle);
    const TPoint second = ArrowStroke(ux, uy, strokeLength, -ArrowAngle);

    const int t = LineThickness;
    canvas.Ellipse(c.X - t, c.Y - t, c.X + t, c.Y + t);
    if (side >= 0) {
        canvas.MoveTo(c.X, c.Y);
        canvas.LineTo(right.X, right.Y);
        canvas.LineTo(right.X + first.X, right.Y + first.Y);
        canvas.MoveTo(right.X, right.Y);
        canvas.LineTo(right.X + second.X, right.Y + second.Y);
    }
    if (side <= 0) {
        canvas.MoveTo(c.X, c.Y);
        canvas.LineTo(left.X, left.Y);
        canvas.LineTo(left.X - first.X, left.Y - first.Y);
        canvas.MoveTo(left.X, left.Y);
        canvas.LineTo(left.X - second.X, left.Y - second.Y);
    }
}

}  // namespace

void DrawTangents(TBitmap& bitmap) {
    if (!TangentRowsExist()) return;
    HourglassCursor hourglass;
    TCanvas& canvas = bitmap.Canvas();
    for (int r = 0; r < TangentRowCount; ++r) {
        if (!IsTangentChecked(r)) continue;
        // Only the function is read here: the results of this pass come from
        // UpdateTangentLabels, which gave a row it could not read no slope.
        const int function = TangentRowFunction(r);
        if (!IsFunctionIndex(function) || !IsFunctionShown(function)) continue;
        if (TangentSides[size_t(r)] >= TangentNotDerivable) continue;
        canvas.Pen.Color = BlackAndWhite ? clBlack : FunctionColours[size_t(function)];
        canvas.Pen.Width = LineThickness;
        canvas.Pen.Style = psSolid;
        DrawTangent(canvas, r, bitmap.Width(), bitmap.Height());
    }
}
