// The sequences on the picture, as staircase (cobweb) diagrams: for each term a vertical
// from the x-axis through the diagonal y = x to the curve, a dot on the curve, a
// horizontal stair to the diagonal point of the next term, and the names of the terms
// along the axes. The diagonal itself is not drawn.
#include <algorithm>
#include <string>

#include "dialogs/analysis_rows.h"
#include "dialogs/sequence_rows.h"
#include "dialogs/sequences_staircase.h"
#include "engine/program_variant.h"
#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/pixel_mapping.h"
#include "platform/ui/components.h"

namespace {

// The staircase of one row, drawn step by step; each step remembers where its curve
// point is, for the stair that follows it.
class Staircase {
public:
    Staircase(TCanvas& canvas, int width, int height, int function)
        : canvas_(canvas), width_(width), height_(height), function_(function), t_(LineThickness),
          strokeWidth_(std::max(1, RoundToInt(0.75L * LineThickness))) {}

    // Step j, with u = Uj and v = U(j+1) = F(Uj).
    void DrawSequenceStep(int j, long double u, long double v) {
        xu_ = Column(u);
        yv_ = Row(v);
        const int yu = Row(u);   // the point (u, u) of the diagonal
        const int y0 = Row(0);   // the x-axis
        const int x0 = Column(0);  // the y-axis

        canvas_.Font.Height = RoundToInt(0.8L * AxisFontHeight);
        canvas_.Brush.Style = bsClear;
        // Uj centred over the x-axis, U(j+1) left of the y-axis at the height of v.
        const std::string current = UpperFunctionLetter(function_) + std::to_string(j);
        const int currentTop = std::max(0, std::min(y0, height_) - canvas_.TextHeight(current));
        canvas_.TextOut(xu_ - canvas_.TextWidth(current) / 2, currentTop, current);
        const std::string next = UpperFunctionLetter(function_) + std::to_string(j + 1);
        const int nextLeft = std::max(0, std::min(x0, width_) - canvas_.TextWidth(next) - t_ / 2);
        canvas_.TextOut(nextLeft, yv_ - canvas_.TextHeight(next) / 2, next);

        if (j == 0) {
            SolidPen();
            Line(xu_, y0, xu_, yv_);
        } else {
            DashedPen();
            Line(xu_, y0, xu_, yu);
            SolidPen();
            Line(xu_, yu, xu_, yv_);
            canvas_.Brush.Style = bsSolid;
            canvas_.Ellipse(xu_ - t_, yu - t_, xu_ + t_, yu + t_);
        }
        canvas_.Brush.Style = bsSolid;
        SolidPen();
        canvas_.Ellipse(xu_ - t_, yv_ - t_, xu_ + t_, yv_ + t_);
        xv_ = Column(v);
        DashedPen();
        Line(x0, yv_, xu_, yv_);
    }

    // From the curve point (Uj, U(j+1)) of the last step to the diagonal point
    // (U(j+1), U(j+1)).
    void DrawSequenceStair() {
        SolidPen();
        Line(xu_, yv_, xv_, yv_);
    }

private:
    int Column(long double x) const { return ClampToRange(PixelColumn(x, width_), width_); }
    int Row(long double y) const { return ClampToRange(PixelRow(y, height_), height_); }
    void SolidPen() {
        canvas_.Pen.Style = psSolid;
        canvas_.Pen.Width = strokeWidth_;
    }
    void DashedPen() {
        canvas_.Pen.Style = psDashDotDot;
        canvas_.Pen.Width = 1;
    }
    void Line(int x1, int y1, int x2, int y2) {
        canvas_.MoveTo(x1, y1);
        canvas_.LineTo(x2, y2);
    }

    TCanvas& canvas_;
    int width_;
    int height_;
    int function_;
    int t_;
    int strokeWidth_;
    int xu_ = 0;
    int yv_ = 0;
    int xv_ = 0;
};

void DrawSequenceRow(TCanvas& canvas, int width, int height, const SequenceSettings& row,
                     const AnalysisParameters& p) {
    const TColor colour = BlackAndWhite ? clBlack : FunctionColours[size_t(row.function)];
    canvas.Pen.Color = colour;
    canvas.Brush.Color = colour;
    canvas.Font.Color = colour;
    // The counter is kept within its range by the arrow keys, but a loaded drawing may
    // hold any number.
    const int count = row.stepByStep ? std::clamp(StepCounter, 0, MaxStepCounter) : MaxStepCounter;
    auto F = [&](long double x) { return EvaluateInDomain(row.function, double(x), p.a, p.b); };

    long double prev = UndefinedValue;
    long double prevIn = UndefinedValue;
    long double u = row.u0;
    long double v = F(u);
    if (v == UndefinedValue) return;
    Staircase staircase(canvas, width, height, row.function);
    staircase.DrawSequenceStep(0, u, v);
    for (int j = 1; j <= count; ++j) {
        staircase.DrawSequenceStair();
        u = v;
        v = F(u);
        if (SequenceStops(u, v, prev, prevIn)) break;
        prev = v;
        prevIn = u;
        staircase.DrawSequenceStep(j, u, v);
    }
}

}  // namespace

void DrawSequences(TBitmap& bitmap) {
    if (!SequenceRowsExist()) return;
    try {
        const AnalysisParameters parameters = ReadAnalysisParameters();
        TCanvas& canvas = bitmap.Canvas();
        for (int r = 0; r < SequenceRowCount; ++r) {
            if (!IsSequenceChecked(r)) continue;
            try {
                const SequenceSettings row = GetSequenceSettings(r);
                if (!IsFunctionShown(row.function)) continue;
                DrawSequenceRow(canvas, bitmap.Width(), bitmap.Height(), row, parameters);
            } catch (...) {
                // A row whose U0 cannot be read (or that names no function) is not drawn;
                // the other rows, the labels and the legend are.
            }
        }
    } catch (...) {
        // a or b cannot be read: no staircase, the rest of the picture is drawn.
    }
    Screen->SetCursor(crDefault);
}
