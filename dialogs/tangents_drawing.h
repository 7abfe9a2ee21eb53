#pragma once
// The tangents on the picture.
class TBitmap;

// Draws the tangents computed by the last UpdateTangentLabels.
void DrawTangents(TBitmap& bitmap);
