// Rounding an unrounded pixel coordinate: to nearest with ties to even, clamped far outside
// any picture, an error for a value that is not a number.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "engine/number_errors.h"
#include "plotter/pixel_mapping.h"

namespace {

TEST(PixelRounding, HalvesGoToTheEvenNeighbourAndFarValuesToTheLimit) {
    EXPECT_EQ(ClampedPixel(2.5L), 2);
    EXPECT_EQ(ClampedPixel(3.5L), 4);
    EXPECT_EQ(ClampedPixel(-2.5L), -2);
    EXPECT_EQ(ClampedPixel(-0.5L), 0);
    EXPECT_EQ(ClampedPixel(std::nextafter(0.5L, 1.0L)), 1);
    EXPECT_EQ(ClampedPixel(std::nextafter(-1.5L, 0.0L)), -1);
    EXPECT_EQ(ClampedPixel(PixelLimit - 0.5L), PixelLimit);
    EXPECT_EQ(ClampedPixel(1e30L), PixelLimit);
    EXPECT_EQ(ClampedPixel(-std::numeric_limits<long double>::infinity()), -PixelLimit);
    EXPECT_THROW(ClampedPixel(std::numeric_limits<long double>::quiet_NaN()), FloatInvalidOperationError);
    std::mt19937_64 rng(1209);
    std::uniform_real_distribution<double> coordinate(-3000, 3000);
    for (int i = 0; i < 100000; ++i) {
        const long double v = static_cast<long double>(coordinate(rng)) + coordinate(rng) * 0x1p-40L;
        ASSERT_EQ(ClampedPixel(v), std::llrint(v)) << static_cast<double>(v);
        const long double half = std::floor(v) + 0.5L;
        ASSERT_EQ(ClampedPixel(half), std::llrint(half)) << static_cast<double>(half);
    }
}

}  // namespace
