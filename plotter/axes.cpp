#include "plotter/axes.h"

// The axes are not drawn yet.
void DrawAxesAndGrid(TBitmap&) {}
