#pragma once
// The axes, the grid, the tick marks and the graduation labels of a picture.
class TBitmap;

void DrawAxesAndGrid(TBitmap& bitmap);
