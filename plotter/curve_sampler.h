#pragma once
// The curve sampler: the shown functions drawn as polylines on the target bitmap.
#include <cstdint>
#include <functional>
#include <memory>

class TBitmap;

// Draws the shown, non-empty functions from n down to f (f ends on top), each sampled
// eight times per pixel column (32 with precise tracing) until its first rejected sample
// and once per column (four times) after it. A sample is rejected where the function is
// undefined, outside its domain, or more than one pixel above or below the picture; the
// pen is lifted there and at every jump of more than 256 rows. With "Exclusif" down only
// m and n are drawn. A shown function that uses the random keyword turns precise tracing
// off. The functions must have been compiled by CompileShownFunctions.
// The functions' walks run side by side on several threads; their strokes are then drawn
// in order.
void DrawFunctionCurves(TBitmap& bitmap);

// The walks of the curves DrawFunctionCurves draws on `bitmap`, made ahead while `meanwhile`
// (work of the same redraw that does not touch the functions) runs on this thread. While
// the returned object lives, DrawFunctionCurves on the same bitmap draws their strokes
// instead of walking again. Where a drawn function draws random numbers nothing is walked
// ahead (its numbers must come at the curves' turn in the redraw): only `meanwhile` runs,
// and the result is null.
std::shared_ptr<void> WalkFunctionCurves(TBitmap& bitmap, const std::function<void()>& meanwhile);

// The same walk over the same samples for a bitmap of the size, evaluating every sample
// without drawing anything; the number of evaluations. Measures the evaluation's share
// of a redraw.
std::int64_t EvaluateCurveSamples(int width, int height);

// The random keyword gives a new curve at every sample: precise tracing would only cost
// time, so a shown function `index` that uses it switches it off, with the menu's check
// mark (without running its handler). Shared by both programs' samplers.
void SwitchOffPreciseTracingForRandom(int index);
