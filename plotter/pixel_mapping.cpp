#include "plotter/pixel_mapping.h"

#include <algorithm>

#include "engine/rounding.h"
#include "plotter/drawing_state.h"

long double UnroundedColumn(long double x, int width) {
    const long double xmin = WindowXMin;
    return (x - xmin) / (static_cast<long double>(WindowXMax) - xmin) * width;
}

long double UnroundedRow(long double y, int height) {
    const long double ymax = WindowYMax;
    return (ymax - y) / (ymax - static_cast<long double>(WindowYMin)) * height;
}

int ClampedPixel(long double value) {
    // NaN fails both comparisons and reaches RoundToInt, which raises for it.
    if (value < -PixelLimit) return -PixelLimit;
    if (value > PixelLimit) return PixelLimit;
    return RoundToInt(value);
}
