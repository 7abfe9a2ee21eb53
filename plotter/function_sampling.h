#pragma once
// The walk of one function's curve across the picture: its samples, and the canvas calls
// that join them. Several functions' walks can run at once on different threads: a walk only
// evaluates its own function and writes its own strokes.
#include <cstdint>
#include <vector>

#include "platform/graphics/geometry.h"

class TCanvas;

// One call of the canvas that draws a curve: a move of the pen, or a line to the point.
struct CurveStroke {
    bool line;
    TPoint to;
};

// The picture a walk is made for, and the parameters a and b.
struct SamplerInput {
    int width;
    int height;
    double a;
    double b;
};

// Walks function `index` from WindowXMin to the first abscissa not below WindowXMax, eight
// samples per pixel column (32 where `precise`) until the first rejected sample and one
// (four) after it, and writes the lines joining the accepted samples into `strokes` (none
// where it is null). The number of evaluations.
std::int64_t SampleFunction(int index, bool precise, const SamplerInput& in, std::vector<CurveStroke>* strokes);

// Makes the canvas calls of `strokes`, with its pen as it stands.
void DrawStrokes(const std::vector<CurveStroke>& strokes, TCanvas& canvas);
