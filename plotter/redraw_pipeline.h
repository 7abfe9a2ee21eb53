#pragma once
// The redraw pipeline: every picture of the program, on screen or exported, is drawn by
// RedrawGraph onto the bitmap it is given, in a fixed order of steps.
#include <functional>
#include <memory>

class TBitmap;

// The drawing steps of a redraw, in the order they run. Start-up fills the table from the
// dialogs' drawers and from the running program's description (application/redraw_steps.h); an empty entry is a step
// this program does not have. A test may wrap an entry to watch the order of the steps.
struct RedrawStepTable {
    std::function<void()> RebuildChannelSums;             // the sound channels (program with sound)
    std::function<void(TBitmap&)> DrawVerticalLines;
    std::function<void()> UpdateTangentLabels;            // recomputed before the tangents are drawn
    std::function<void(TBitmap&)> DrawAreas;
    std::function<void(TBitmap&)> DrawTangents;
    // The curves' walks, made while the picture is filled (the second argument); the curves
    // step draws them while the result lives (the rest of the redraw).
    std::function<std::shared_ptr<void>(TBitmap&, const std::function<void()>&)> WalkFunctionCurves;
    std::function<void(TBitmap&)> DrawFunctionCurves;
    std::function<void(TBitmap&)> DrawAxesAndGrid;        // skipped while the picture is frozen
    bool AxesUnderCurves = false;                         // axes before the curves
    std::function<void(TBitmap&)> DrawSequences;
    std::function<void(TBitmap&, int)> DrawLabels;        // -1: every label
    std::function<void(TBitmap&)> DrawLegend;             // when "Afficher la legende" is checked
};

RedrawStepTable& RedrawSteps();

// Reads the world window from "x.deb", "x.fin", "y.deb", "y.fin" (tolerant conversion)
// and the line thickness (strict integer conversion, raises on other text).
void ReadWindowFromEdits();

// The graduation font height for a picture of the size: a 60th of its diagonal (at least
// 10 pixels), times the "Police" percentage and, from thickness 7 on, the thickness / 6.
int ComputeAxisFontHeight(int width, int height);

// Draws the whole picture onto the bitmap. Every failure inside ends the redraw silently,
// keeping what was drawn so far. Does nothing before all the windows exist.
void RedrawGraph(TBitmap& bitmap);
