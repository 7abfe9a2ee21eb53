#pragma once
// World coordinates to the pixels of a target bitmap, for every drawing routine:
//   px = Round((x - WindowXMin) / (WindowXMax - WindowXMin) * W)
//   py = Round((WindowYMax - y) / (WindowYMax - WindowYMin) * H)
// Round is to nearest, ties to even. The quotient is computed in 80-bit arithmetic, where
// no window of doubles can overflow, and a result far outside the bitmap is brought back
// to +-PixelLimit: such a point is off the picture anyway, and the value stays a drawable
// int whatever the window. The callers make sure the window's extent is not zero.

// Far enough outside any bitmap for a line to it to leave the picture the same way.
inline constexpr int PixelLimit = 1 << 28;

// The unrounded column and row of x and y on a bitmap `width` / `height` pixels large.
long double UnroundedColumn(long double x, int width);
long double UnroundedRow(long double y, int height);

// Rounds a pixel coordinate (ties to even) into -PixelLimit .. PixelLimit. A NaN raises
// FloatInvalidOperationError.
int ClampedPixel(long double value);

// ClampedPixel for a value that usually rounds to `last`, as the successive samples of a
// curve do: then two comparisons decide (ties excluded, they go the full way). `last`
// becomes the result.
inline int ClampedPixelNear(long double value, int& last) {
    if (value > last - 0.5L && value < last + 0.5L) return last;
    last = ClampedPixel(value);
    return last;
}

inline int PixelColumn(long double x, int width) { return ClampedPixel(UnroundedColumn(x, width)); }
inline int PixelRow(long double y, int height) { return ClampedPixel(UnroundedRow(y, height)); }
