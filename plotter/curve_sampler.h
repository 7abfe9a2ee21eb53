#pragma once
// The curve sampler: the shown functions drawn as polylines on the target bitmap.
#include <cstdint>

class TBitmap;

// Draws the shown, non-empty functions from n down to f (f ends on top), each sampled
// eight times per pixel column (32 with precise tracing) until its first rejected sample
// and once per column (four times) after it. A sample is rejected where the function is
// undefined, outside its domain, or more than one pixel above or below the picture; the
// pen is lifted there and at every jump of more than 256 rows. With "Exclusif" down only
// m and n are drawn. A shown function that uses the random keyword turns precise tracing
// off. The functions must have been compiled by CompileShownFunctions.
void DrawFunctionCurves(TBitmap& bitmap);

// The same walk over the same samples for a bitmap of the size, evaluating every sample
// without drawing anything; the number of evaluations. Measures the evaluation's share
// of a redraw.
std::int64_t EvaluateCurveSamples(int width, int height);

// The random keyword gives a new curve at every sample: precise tracing would only cost
// time, so a shown function `index` that uses it switches it off, with the menu's check
// mark (without running its handler). Shared by both programs' samplers.
void SwitchOffPreciseTracingForRandom(int index);
