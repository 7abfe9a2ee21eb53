// The evaluator's own sine, cosine and exponential against the C library's 80-bit ones.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/extended_math.h"

namespace {

// The distance in units in the last place of the 64-bit mantissa.
double Ulps(long double value, long double reference) {
  if (value == reference) return 0;
  int exponent;
  frexpl(reference, &exponent);
  return static_cast<double>(fabsl(value - reference) / ldexpl(1.0L, exponent - 64));
}

template <class F, class G>
double WorstUlps(F ours, G library, double low, double high, int count) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> distribution(low, high);
  double worst = 0;
  for (int i = 0; i < count; ++i) {
    const long double x = distribution(rng) * (1 + static_cast<long double>(rng() >> 11) * 0x1p-80L);
    worst = std::max(worst, Ulps(ours(x), library(x)));
  }
  return worst;
}

TEST(ExtendedMath, SineAndCosineWithinTwoUlps) {
  for (double range : {1.0, 10.0, 1e4, 1e8, 2e9, 1e15}) {
    EXPECT_LE(WorstUlps(xmath::Sin, [](long double x) { return sinl(x); }, -range, range, 100000), 2.0) << range;
    EXPECT_LE(WorstUlps(xmath::Cos, [](long double x) { return cosl(x); }, -range, range, 100000), 2.0) << range;
  }
  // Close to multiples of pi/2, where a short reduction loses the most digits.
  double worst = 0;
  for (long k = 1; k < 400000; k += 7) {
    const double near = static_cast<double>(k * 1.570796326794896619231321691639751442L);
    for (double x : {std::nextafter(near, 0.0), near, std::nextafter(near, 1e300)}) {
      worst = std::max({worst, Ulps(xmath::Sin(x), sinl(x)), Ulps(xmath::Cos(x), cosl(x))});
    }
  }
  EXPECT_LE(worst, 2.0);
  EXPECT_EQ(xmath::Sin(0), 0.0L);
  EXPECT_EQ(xmath::Cos(0), 1.0L);
}

TEST(ExtendedMath, ExponentialWithinTwoUlpsAndAtTheEnds) {
  for (double range : {1.0, 50.0, 700.0, 11000.0}) {
    EXPECT_LE(WorstUlps(xmath::Exp, [](long double x) { return expl(x); }, -range, range, 100000), 2.0) << range;
  }
  EXPECT_EQ(xmath::Exp(0), 1.0L);
  EXPECT_TRUE(std::isinf(xmath::Exp(11400)));
  EXPECT_EQ(xmath::Exp(-11500), 0.0L);
}

TEST(ExtendedMath, LogarithmArcTangentAndRounding) {
  EXPECT_LE(WorstUlps(xmath::Ln, [](long double x) { return logl(x); }, 1e-300, 1e300, 100000), 1.0);
  EXPECT_LE(WorstUlps([](long double y) { return xmath::ATan2(y, 1); }, [](long double y) { return atanl(y); },
                      -100, 100, 100000),
            1.0);
  EXPECT_EQ(xmath::ATan2(0, -1), 3.141592653589793238462643383279502884L);
  EXPECT_EQ(xmath::RoundNear(2.5L), 2.0L);
  EXPECT_EQ(xmath::RoundNear(-3.5L), -4.0L);
  EXPECT_EQ(xmath::IntegralToInt64(-123456789012.0L), -123456789012LL);
}

}  // namespace
