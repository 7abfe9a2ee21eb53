#include "plotter/redraw_pipeline.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/number_conversion.h"
#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "platform/graphics/bitmap.h"

RedrawStepTable& RedrawSteps() {
    static RedrawStepTable steps;
    return steps;
}

void ReadWindowFromEdits() {
    WindowXMin = ParseFloatOrZero(Form1->Edit10->Text());
    WindowXMax = ParseFloatOrZero(Form1->Edit11->Text());
    WindowYMin = ParseFloatOrZero(Form1->Edit12->Text());
    WindowYMax = ParseFloatOrZero(Form1->Edit13->Text());
    LineThickness = ParseDecimalInteger(Form1->Edit14->Text());
}

int ComputeAxisFontHeight(int width, int height) {
    const double diagonal = std::sqrt(double(width) * width + double(height) * height);
    const int base = RoundToInt(std::max(10.0, diagonal / 60));
    const double percentage = Form1->UpDown7->Position() / 100.0;
    return RoundToInt(base * percentage * std::max(LineThickness / 6.0, 1.0));
}

namespace {

void RunSteps(TBitmap& bitmap) {
    const RedrawStepTable& steps = RedrawSteps();
    if (steps.RebuildChannelSums) steps.RebuildChannelSums();
    BlackAndWhite = Form1->cnb->Checked();
    ReadWindowFromEdits();

    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Color = clWhite;
    canvas.Pen.Color = clWhite;
    canvas.Pen.Mode = pmCopy;
    canvas.Pen.Style = psSolid;
    const bool frozen = Form1->ceffa->Checked() && !ForcedRedrawFlag;
    AxisFontHeight = ComputeAxisFontHeight(bitmap.Width(), bitmap.Height());
    CompileShownFunctions();
    const auto fill = [&] {
        if (frozen) return;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
    };
    // The curves are walked while the picture is filled; the curves step draws them.
    std::shared_ptr<void> curvesWalked;
    if (steps.WalkFunctionCurves)
        curvesWalked = steps.WalkFunctionCurves(bitmap, fill);
    else
        fill();

    if (steps.DrawVerticalLines) steps.DrawVerticalLines(bitmap);
    if (steps.UpdateTangentLabels) steps.UpdateTangentLabels();
    if (steps.DrawAreas) steps.DrawAreas(bitmap);
    if (steps.DrawTangents) steps.DrawTangents(bitmap);
    const bool drawAxes = !frozen && steps.DrawAxesAndGrid;
    if (steps.AxesUnderCurves && drawAxes) steps.DrawAxesAndGrid(bitmap);
    if (steps.DrawFunctionCurves) steps.DrawFunctionCurves(bitmap);
    if (!steps.AxesUnderCurves && drawAxes) steps.DrawAxesAndGrid(bitmap);
    if (steps.DrawSequences) steps.DrawSequences(bitmap);
    if (steps.DrawLabels) steps.DrawLabels(bitmap, -1);
    if (Form1->leg->Checked() && steps.DrawLegend) steps.DrawLegend(bitmap);
}

}  // namespace

void RedrawGraph(TBitmap& bitmap) {
    if (!FormsReady || !Form1) return;
    try {
        RunSteps(bitmap);
    } catch (...) {
        // A failed step (a thickness that is not an integer, an empty window, a fault in
        // an overlay) ends the picture where it is, without a message.
    }
}
