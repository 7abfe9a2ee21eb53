#pragma once
// The sampler's walk with the homing of the simplest form: off the picture, pen up and
// moving fast, every sample advances the walk by one fine step. Everything it draws inside
// the picture is what the sampler must still draw; it crosses a steep stretch off the
// picture with one evaluation per fine step, so it is only run on scenes where that is
// quick.
#include <cstdint>
#include <vector>

class TBitmap;

namespace quimbeltest {

// Draws function `index` as the sampler does (pen width, colour and mode as set on the
// bitmap's canvas by the caller), with the window, parameters and precise tracing of the
// main window; the functions must have been compiled. The number of evaluations; the
// columns where the curve comes back onto the picture after a rejected point are added to
// `reentries`.
std::int64_t DrawWithFineHoming(int index, TBitmap& bitmap, std::vector<int>& reentries);

}  // namespace quimbeltest
