// The evaluator's own sine, cosine and exponential against the C library's 80-bit ones.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "engine/expression_tables.h"
#include "engine/extended_math.h"
#include "engine/operation_kernels.h"
#include "engine/trigonometric.h"
#include "engine_test_support.h"

namespace {

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

// Within a quarter turn the reduction is left out, and within the next sixteen its rounding
// of x * 2/pi: the result is what the full reduction makes of the operand, bit for bit, on
// both sides of where each shortcut begins and ends and of every half quarter turn.
TEST(ExtendedMath, SineAndCosineOfTheFirstTurnsAreThoseOfTheFullReduction) {
  const auto reduced = [](long double x, bool sine) {
    unsigned quadrant;
    const long double r = xmath::detail::ReduceQuarterTurns(x, quadrant, true);
    const long double s = xmath::detail::SinOfReduced(r), c = xmath::detail::CosOfReduced(r);
    switch (quadrant) {
      case 0: return sine ? s : c;
      case 1: return sine ? c : -s;
      case 2: return sine ? -s : -c;
      default: return sine ? -c : s;
    }
  };
  std::vector<long double> xs = {0.0L, -0.0L, 0x1p-16445L, -0x1p-16445L, 0x1p-1074L, 1e-300L, 0.5L, -0.5L,
                                 0.785L, -0.785L, 0.78539816339744830962L, -0.78539816339744830962L};
  // Where each shortcut ends, and the multiples of pi/4 near them, where the quarter turn
  // changes.
  std::vector<long double> edges = {0.785L, 25.9L};
  for (int half = 1; half <= 35; half += 2) edges.push_back(half * 0.78539816339744830962L);
  for (long double edge : edges) {
    long double up = edge, down = edge;
    for (int i = 0; i < 2000; ++i) {
      up = std::nextafter(up, 99.0L);
      down = std::nextafter(down, 0.0L);
      for (long double x : {up, down}) {
        xs.push_back(x);
        xs.push_back(-x);
      }
    }
    for (double d = static_cast<double>(edge) * (1 - 1e-13), i = 0; i < 2000; d = std::nextafter(d, 99.0), ++i) {
      xs.push_back(d);
      xs.push_back(-d);
    }
  }
  std::mt19937_64 rng(1209);
  std::uniform_real_distribution<double> within(-27, 27);
  for (int i = 0; i < 400000; ++i) xs.push_back(within(rng) * (1 + static_cast<long double>(rng() >> 11) * 0x1p-80L));
  for (long double x : xs) {
    ASSERT_TRUE(SameBits(xmath::Sin(x), reduced(x, true))) << static_cast<double>(x);
    ASSERT_TRUE(SameBits(xmath::Cos(x), reduced(x, false))) << static_cast<double>(x);
  }
}

// The library's tanl is itself up to about 1.7 units in the last place from the true value,
// and ours as close (measured apart with 113-bit arithmetic): the two may lie 3 units apart.
TEST(ExtendedMath, TangentWithinThreeUlpsOfTheLibrarys) {
  for (double range : {1.0, 10.0, 30.0, 1e4, 1e8, 2e9}) {
    EXPECT_LE(WorstUlps(xmath::Tan, [](long double x) { return tanl(x); }, -range, range, 100000), 3.0) << range;
  }
  // Close to multiples of pi/2 (poles and zeros) and of pi/4, where the quotient's operands
  // are the smallest or change their roles.
  double worst = 0;
  for (long k = 1; k < 400000; k += 7) {
    for (long double multiple : {1.570796326794896619231321691639751442L, 0.785398163397448309615660845819875721L}) {
      const long double near = k * multiple;
      for (long double x : {nextafterl(near, 0.0L), near, nextafterl(near, 1e300L), -near}) {
        worst = std::max(worst, Ulps(xmath::Tan(x), tanl(x)));
      }
    }
  }
  EXPECT_LE(worst, 3.0);
  EXPECT_TRUE(SameBits(xmath::Tan(0.0L), 0.0L));
  EXPECT_TRUE(SameBits(xmath::Tan(-0.0L), -0.0L));
  EXPECT_EQ(xmath::Tan(0x1p-16445L), 0x1p-16445L);
}

// The tangent's operation is undefined where (l - pi/2) / pi is an integer in 80 bits; the
// double that spares the exact test elsewhere must never spare it there.
TEST(ExtendedMath, TangentIsUndefinedExactlyWhereTheQuotientIsAnInteger) {
  const auto exactly_undefined = [](long double l) { return ops::Frac((l - kHalfPi) / kPi) == 0; };
  long undefined = 0;
  std::vector<long double> ls;
  for (long double k = -3e6L; k <= 3e6L; k += 1) ls.push_back(kHalfPi + k * kPi);
  for (long double k = 1e9L; k < 1e18L; k *= 1.37L) ls.push_back(kHalfPi + std::floor(k) * kPi);
  for (long double l : ls) {
    for (long double x : {l, nextafterl(l, -HUGE_VALL), nextafterl(l, HUGE_VALL), -l}) {
      ops::Status status = 0;
      ops::Tan::Apply(x, 0, status);
      const bool expected = exactly_undefined(x);
      ASSERT_EQ((status & ops::kUndefined) != 0, expected) << static_cast<double>(x);
      undefined += expected;
    }
  }
  EXPECT_GT(undefined, 1000000);
}

TEST(ExtendedMath, ExponentialWithinOneUlpAndAtTheEnds) {
  for (double range : {1.0, 50.0, 700.0, 11000.0}) {
    EXPECT_LE(WorstUlps(xmath::Exp, [](long double x) { return expl(x); }, -range, range, 100000), 1.0) << range;
  }
  EXPECT_EQ(xmath::Exp(0), 1.0L);
  EXPECT_TRUE(std::isinf(xmath::Exp(11400)));
  EXPECT_EQ(xmath::Exp(-11500), 0.0L);
}

// Every step of a grid: y = low, low + step, ..., each also moved by a few units of its
// last place so that the 80-bit digits below the double's are exercised.
template <class F, class G>
double WorstUlpsOnGrid(F ours, G library, long double low, long double high, long double step) {
  double worst = 0;
  for (long double y = low; y <= high; y += step) {
    for (long double v : {y, nextafterl(y, HUGE_VALL), y * (1 + 0x1p-60L)}) {
      worst = std::max(worst, Ulps(ours(v), library(v)));
    }
  }
  return worst;
}

TEST(ExtendedMath, ExponentialOnADenseGrid) {
  const auto library = [](long double y) { return expl(y); };
  EXPECT_LE(WorstUlpsOnGrid(xmath::Exp, library, -11000, 11000, 0.0137L), 1.0);
  EXPECT_LE(WorstUlpsOnGrid(xmath::Exp, library, -1, 1, 0x1p-18L), 1.0);
  EXPECT_LE(WorstUlpsOnGrid(xmath::Exp, library, -0x1p-20L, 0x1p-20L, 0x1p-36L), 1.0);
  // The reduction's ties: multiples of ln 2 / 512, where the table index changes.
  double worst = 0;
  for (long k = -4000000; k <= 4000000; k += 13) {
    const long double y = k * 0.00135380308703114318245553148722262L;
    for (long double v : {nextafterl(y, -HUGE_VALL), y, nextafterl(y, HUGE_VALL)}) {
      worst = std::max(worst, Ulps(xmath::Exp(v), expl(v)));
    }
  }
  EXPECT_LE(worst, 1.0);
  EXPECT_EQ(xmath::Exp(1e-4000L), 1.0L);
}

// exp scales 2^(k/128)(1 + p) by 2^n through a double where 2^n is a normal double, and by
// the instruction beyond: both sides of both ends.
TEST(ExtendedMath, ExponentialWhereItsScalingChangesWay) {
  const auto library = [](long double y) { return expl(y); };
  EXPECT_LE(WorstUlpsOnGrid(xmath::Exp, library, -709.5L, -707, 0x1p-13L), 1.0);
  EXPECT_LE(WorstUlpsOnGrid(xmath::Exp, library, 708, 710.5L, 0x1p-13L), 1.0);
  for (int n : {-1024, -1023, -1022, -1021, 1022, 1023, 1024}) {
    const long double y = n * 0.693147180559945309417232121458176568L;
    for (long double v : {nextafterl(y, -HUGE_VALL), y, nextafterl(y, HUGE_VALL)}) {
      EXPECT_LE(Ulps(xmath::Exp(v), expl(v)), 1.0) << n;
    }
  }
}

// ln at the ends of its own range (2^-1020 .. 2^1020), where 2^-e scales the reciprocal by
// its exponent field the most, and just beyond them (the instruction).
TEST(ExtendedMath, LogarithmAtTheEndsOfItsRange) {
  double worst = 0;
  for (int e : {-1021, -1020, -1019, 1018, 1019, 1020}) {
    for (int k = 0; k < 8192; ++k) {
      const long double v = ldexpl(1 + k / 8192.0L, e);
      for (long double w : {v, nextafterl(v, 0), v * (1 + 0x1p-61L)}) worst = std::max(worst, Ulps(xmath::Ln(w), logl(w)));
    }
  }
  EXPECT_LE(worst, 1.0);
}

TEST(ExtendedMath, LogarithmOnADenseGrid) {
  const auto library = [](long double v) { return logl(v); };
  // A geometric grid over the whole 80-bit range (beyond 2^-1020 .. 2^1020 the instruction).
  double worst = 0;
  for (long double v = 0x1p-16440L; v < 0x1p16383L; v = std::max(v * 1.00731L, nextafterl(v, HUGE_VALL))) {
    for (long double w : {v, nextafterl(v, 0), v * (1 + 0x1p-61L)}) {
      worst = std::max(worst, Ulps(xmath::Ln(w), logl(w)));
    }
  }
  EXPECT_LE(worst, 1.0);
  EXPECT_LE(WorstUlpsOnGrid(xmath::Ln, library, 0.001, 40, 0x1p-14L), 1.0);
  // Around 1, where the result is small and the intervals of the table meet.
  EXPECT_LE(WorstUlpsOnGrid(xmath::Ln, library, 0.98, 1.02, 0x1p-22L), 1.0);
  EXPECT_LE(WorstUlpsOnGrid(xmath::Ln, library, 1 - 0x1p-24L, 1 + 0x1p-24L, 0x1p-42L), 1.0);
  for (int k = 1; k < 4000; ++k) {
    for (long double v : {1 + k * 0x1p-63L, 1 - k * 0x1p-64L}) ASSERT_LE(Ulps(xmath::Ln(v), logl(v)), 1.0) << k;
  }
  EXPECT_EQ(xmath::Ln(1), 0.0L);
  EXPECT_EQ(xmath::Ln(2), 0.693147180559945309417232121458176568L);
  EXPECT_TRUE(std::isinf(xmath::Ln(HUGE_VALL)));
}

// The integral parts, bit for bit as the library's, zeros' signs included.
TEST(ExtendedMath, TruncAndFloorAsTheLibrary) {
  std::vector<long double> values = {0.0L, -0.0L, 0.5L, -0.5L, 1.5L, -1.5L, 2.5L, -2.5L, 1e-4000L, -1e-4000L,
                                     0x1p61L, -0x1p61L, 0x1p61L - 0.5L, 0x1p62L + 1, 0x1p63L, 1e300L,
                                     HUGE_VALL, -HUGE_VALL};
  std::mt19937_64 rng(11);
  for (int i = 0; i < 200000; ++i) {
    const long double v = ldexpl(static_cast<long double>(rng() >> 1), static_cast<int>(rng() % 130) - 125);
    values.push_back(rng() & 1 ? v : -v);
    values.push_back(std::nextafter(static_cast<long double>(static_cast<long long>(rng() % 2001) - 1000), 0.0L));
  }
  for (long double v : values) {
    ASSERT_TRUE(SameBits(xmath::Trunc(v), std::trunc(v))) << static_cast<double>(v);
    ASSERT_TRUE(SameBits(xmath::Floor(v), std::floor(v))) << static_cast<double>(v);
  }
}

TEST(ExtendedMath, FractionalExponentsBelowTwoPow31) {
  for (double d : {0.5, -0.5, 1e-300, -4.9e-324, 2.5, 1e9 + 0.5, 2147483645.5, -2147483645.5, 0x1.fffffffffffffp-1}) {
    EXPECT_TRUE(ops::IsFractionalBelowTwoPow31(d)) << d;
  }
  for (double d : {0.0, -0.0, 1.0, -3.0, 1e9, 2147483645.0, 2147483646.0, 2147483646.5, 1e15 + 0.5, 1e300,
                   HUGE_VAL, -HUGE_VAL, std::nan("")}) {
    EXPECT_FALSE(ops::IsFractionalBelowTwoPow31(d)) << d;
  }
}

// A positive base whose double lies outside ln's range (subnormal, or beyond the double
// range) takes the power's general steps: still e^(p ln b), defined while |p ln b| < 698.
// The rounding of p ln b to 80 bits moves the result by up to |p ln b| / 2 units.
TEST(ExtendedMath, PowersOfBasesOutsideTheDoubleRange) {
  for (long double b : {1e-310L, 0x1p-1021L, 1e-320L, 1e310L, 0x1p1021L, 1e1000L}) {
    for (long double p : {0.5L, -0.25L, 0.1L, 2.0L}) {
      ops::Status status = 0;
      const long double v = ops::Power::Apply(b, p, status);
      const double y = static_cast<double>(std::fabs(p * logl(b)));
      if (y < 697) {
        EXPECT_EQ(status, 0) << static_cast<double>(b) << " " << static_cast<double>(p);
        EXPECT_LE(Ulps(v, powl(b, p)), 2 * y + 4) << static_cast<double>(b) << " " << static_cast<double>(p);
      } else {
        EXPECT_NE(status & ops::kUndefined, 0) << static_cast<double>(b) << " " << static_cast<double>(p);
      }
    }
  }
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
