#pragma once
// Comparing two pictures pixel by pixel.
class TBitmap;

// Whether the two pictures of one size have the same pixels; a test failure names the
// first that differs.
bool SamePixels(TBitmap& a, TBitmap& b);
