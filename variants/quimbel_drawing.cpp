#include "variants/quimbel_drawing.h"

namespace quimbel {

// The adaptive sampler and the axes in multiples of pi are not written yet.
void DrawFunctionCurves(TBitmap&) {}
void DrawAxesAndGrid(TBitmap&) {}

}  // namespace quimbel
