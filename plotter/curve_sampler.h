#pragma once
// The curve sampler: the shown functions drawn as polylines on the target bitmap.
class TBitmap;

void DrawFunctionCurves(TBitmap& bitmap);
