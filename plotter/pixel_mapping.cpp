#include "plotter/pixel_mapping.h"

#include <cmath>

#include "engine/extended_math.h"
#include "engine/number_errors.h"
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
    if (value < -PixelLimit) return -PixelLimit;
    if (value > PixelLimit) return PixelLimit;
    if (std::isnan(value)) throw FloatInvalidOperationError();
    // To nearest with ties to even, without a call of the library (|value| <= 2^28).
    return static_cast<int>(xmath::IntegralToInt64(xmath::RoundNear(value)));
}
