#pragma once
// The hatching of the areas on the picture.
class TBitmap;

// Hatches the areas of the rows that are on (before the curves are drawn).
void DrawAreas(TBitmap& bitmap);
