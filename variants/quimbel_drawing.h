#pragma once
// The drawing routines of Quimbel: the curve sampler with an adaptive step and the axes
// graduated in multiples of pi.
class TBitmap;

namespace quimbel {
void DrawFunctionCurves(TBitmap& bitmap);
void DrawAxesAndGrid(TBitmap& bitmap);
}  // namespace quimbel
