#include "plotter/curve_sampler.h"

// The curves are not drawn yet.
void DrawFunctionCurves(TBitmap&) {}
