// The evaluator's own arc tangent of a point against the x87 instruction and the C library,
// for the three ways the engine calls it (atan, asin, acos) and for any point.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engine/arc_tangent.h"
#include "engine/extended_math.h"
#include "engine_test_support.h"

namespace {

struct Point {
  long double y, x;
};

// The worst distance over `points` to the instruction and to the library, and where; and
// the share of the points where the result is not the instruction's. The instruction errs
// by about half a unit, and so does a result rounded once from a precise sum, so the two
// differ by one unit in a few percent of the points: a sloppier method differs far more
// often long before it differs by two units.
struct Worst {
  double to_instruction = 0, to_library = 0;
  Point at{0, 0};
  double share_differing = 0;
};

Worst WorstOver(const std::vector<Point>& points) {
  Worst worst;
  long differing = 0;
  for (const Point& p : points) {
    const long double ours = xmath::ArcTangent2(p.y, p.x);
    const double a = Ulps(ours, xmath::ATan2(p.y, p.x)), b = Ulps(ours, atan2l(p.y, p.x));
    if (a > worst.to_instruction || b > worst.to_library) worst.at = p;
    worst.to_instruction = std::max(worst.to_instruction, a);
    worst.to_library = std::max(worst.to_library, b);
    differing += a > 0;
  }
  worst.share_differing = static_cast<double>(differing) / static_cast<double>(points.size());
  return worst;
}

std::string Where(const Worst& w) {
  char text[96];
  std::snprintf(text, sizeof text, "at y = %.21Lg, x = %.21Lg", w.at.y, w.at.x);
  return text;
}

void ExpectWithinOneUlp(const std::vector<Point>& points, double most_differing) {
  const Worst w = WorstOver(points);
  EXPECT_LE(w.to_instruction, 1.0) << Where(w);
  EXPECT_LE(w.to_library, 1.0) << Where(w);
  EXPECT_LE(w.share_differing, most_differing);
}

// The three ways the engine calls it.
Point ForArcTan(long double l) { return {l, 1}; }
Point ForArcSin(long double l) { return {l, xmath::Sqrt(1 - l * l)}; }
Point ForArcCos(long double l) { return {xmath::Sqrt(1 - l * l), l}; }

// A random 80-bit value of the given sign, all 64 bits of its mantissa random.
long double RandomValue(std::mt19937_64& rng, int lowest_exponent, int highest_exponent) {
  std::uniform_int_distribution<int> exponent(lowest_exponent, highest_exponent);
  const long double v = ldexpl(static_cast<long double>(rng() | (std::uint64_t{1} << 63)), exponent(rng) - 63);
  return rng() & 1 ? v : -v;
}

// The quotients where the table's row changes or is centred: 2^e (1 + k/64) around and
// within 2^-9 .. 1, each moved by up to three units of its last place either way.
std::vector<long double> TableEdges() {
  std::vector<long double> edges;
  for (int e = -10; e <= 0; ++e) {
    for (int k = 0; k <= 64; ++k) {
      long double up = ldexpl(1 + k / 64.0L, e), down = up;
      edges.push_back(up);
      for (int i = 0; i < 3; ++i) {
        up = nextafterl(up, HUGE_VALL);
        down = nextafterl(down, 0);
        edges.push_back(up);
        edges.push_back(down);
      }
    }
  }
  return edges;
}

// Values spread over -range .. range, the 80-bit digits below the double's exercised.
std::vector<long double> Grid(long double range, int count) {
  std::vector<long double> values;
  for (int i = 0; i <= count; ++i) {
    const long double v = -range + 2 * range * i / count;
    values.push_back(v);
    values.push_back(v * (1 + 0x1p-60L));
    values.push_back(nextafterl(v, HUGE_VALL));
  }
  return values;
}

TEST(ArcTangent, ArcTanWithinOneUlp) {
  std::vector<Point> points;
  for (long double l : Grid(3, 200000)) points.push_back(ForArcTan(l));
  for (long double l : Grid(1e6L, 100000)) points.push_back(ForArcTan(l));
  for (long double t : TableEdges()) {
    for (long double l : {t, -t, 1 / t, -1 / t}) points.push_back(ForArcTan(l));
  }
  std::mt19937_64 rng(17);
  for (int i = 0; i < 300000; ++i) points.push_back(ForArcTan(RandomValue(rng, -1100, 1100)));
  // Tiny, subnormal and huge operands, where the doubles can no longer tell the quotient.
  for (long double l : {1e-4000L, 0x1p-16445L, 0x1p-16400L, 0x1p-1074L, 0x1p-1000L, 0x1p-1001L, 1e-310L,
                        0x1p1000L, 0x1p1001L, 1e300L, 1e4000L, LDBL_MAX, LDBL_TRUE_MIN}) {
    points.push_back(ForArcTan(l));
    points.push_back(ForArcTan(-l));
  }
  ExpectWithinOneUlp(points, 0.03);
}

TEST(ArcTangent, ArcSinAndArcCosWithinOneUlp) {
  std::vector<long double> ls = Grid(1, 300000);
  // Near -1, 0 and 1, where the square root or the operand itself is small.
  for (int k = 0; k < 5000; ++k) {
    for (long double l : {1 - k * 0x1p-64L, 1 - k * 0x1p-40L, 1 - k * 0x1p-20L, k * 0x1p-70L, k * 0x1p-20L}) {
      ls.push_back(l);
      ls.push_back(-l);
    }
  }
  // Where the quotient of the two operands meets the table's edges.
  for (long double t : TableEdges()) {
    const long double l = t / xmath::Sqrt(1 + t * t);
    for (long double v : {l, nextafterl(l, 0), nextafterl(l, 2), xmath::Sqrt(1 - l * l)}) {
      ls.push_back(v);
      ls.push_back(-v);
    }
  }
  std::mt19937_64 rng(23);
  for (int i = 0; i < 300000; ++i) ls.push_back(RandomValue(rng, -40, -1));
  for (long double l : {0.0L, -0.0L, 1.0L, -1.0L, 0x1p-16445L, 1e-4000L, -1e-4000L}) ls.push_back(l);
  std::vector<Point> arcsin, arccos;
  for (long double l : ls) {
    arcsin.push_back(ForArcSin(l));
    arccos.push_back(ForArcCos(l));
  }
  ExpectWithinOneUlp(arcsin, 0.09);
  ExpectWithinOneUlp(arccos, 0.04);
}

// Any point: the four quadrants, both operands of any size, and |y| close to |x|, where
// the octant changes.
TEST(ArcTangent, AnyPointWithinOneUlp) {
  std::vector<Point> points;
  std::mt19937_64 rng(29);
  for (int i = 0; i < 300000; ++i) points.push_back({RandomValue(rng, -30, 30), RandomValue(rng, -30, 30)});
  for (int i = 0; i < 100000; ++i) points.push_back({RandomValue(rng, -2000, 2000), RandomValue(rng, -2000, 2000)});
  for (int i = 0; i < 100000; ++i) {
    const long double x = RandomValue(rng, -5, 5);
    long double y = rng() & 1 ? x : -x;
    for (int k = static_cast<int>(rng() % 8); k > 0; --k) y = nextafterl(y, rng() & 1 ? HUGE_VALL : -HUGE_VALL);
    points.push_back({y, x});
    points.push_back({x, y});
  }
  for (long double t : TableEdges()) {
    for (long double x : {3.0L, -3.0L}) {
      points.push_back({t * x, x});
      points.push_back({x, t * x});
    }
  }
  ExpectWithinOneUlp(points, 0.05);
}

// Zeros, and the operands whose angle is a multiple of pi/2, as the instruction gives them.
TEST(ArcTangent, ZerosAndAxesAsTheInstruction) {
  const std::vector<long double> values = {1.0L, 0.5L, 3.0L, 1e-300L, 1e300L, 0x1p-16445L, 1e-4000L, 1e4000L,
                                           LDBL_MAX};
  std::vector<Point> points;
  for (long double zero : {0.0L, -0.0L}) {
    for (long double other_zero : {0.0L, -0.0L}) points.push_back({zero, other_zero});
    for (long double v : values) {
      for (long double signed_v : {v, -v}) {
        points.push_back({zero, signed_v});
        points.push_back({signed_v, zero});
      }
    }
  }
  for (const Point& p : points) {
    EXPECT_TRUE(SameBits(xmath::ArcTangent2(p.y, p.x), xmath::ATan2(p.y, p.x)))
        << static_cast<double>(p.y) << " " << static_cast<double>(p.x);
  }
  EXPECT_TRUE(SameBits(xmath::ArcTangent2(0.0L, 1), 0.0L));
  EXPECT_TRUE(SameBits(xmath::ArcTangent2(-0.0L, 1), -0.0L));
  EXPECT_EQ(xmath::ArcTangent2(0, -1), 3.141592653589793238462643383279502884L);
  EXPECT_EQ(xmath::ArcTangent2(-0.0L, -1), -3.141592653589793238462643383279502884L);
  EXPECT_EQ(xmath::ArcTangent2(2, 0), 1.570796326794896619231321691639751442L);
  EXPECT_EQ(xmath::ArcTangent2(-2, -0.0L), -1.570796326794896619231321691639751442L);
  EXPECT_EQ(xmath::ArcTangent2(1, 1), 0.785398163397448309615660845819875721L);
}

// Below 2^-33 the arc tangent rounds to its operand; infinities and NaN take the
// instruction's way.
TEST(ArcTangent, SmallOperandsAndOthersAsTheInstruction) {
  std::mt19937_64 rng(31);
  for (int i = 0; i < 20000; ++i) {
    const long double l = RandomValue(rng, -16000, -34);
    ASSERT_TRUE(SameBits(xmath::ArcTangent2(l, 1), l)) << static_cast<double>(l);
    ASSERT_TRUE(SameBits(xmath::ArcTangent2(l, 1), xmath::ATan2(l, 1))) << static_cast<double>(l);
  }
  for (long double v : {HUGE_VALL, -HUGE_VALL, 1.0L, -1.0L}) {
    for (long double w : {HUGE_VALL, -HUGE_VALL, 2.0L, -0.0L}) {
      EXPECT_TRUE(SameBits(xmath::ArcTangent2(v, w), xmath::ATan2(v, w)));
    }
  }
  EXPECT_TRUE(std::isnan(xmath::ArcTangent2(NAN, 1)));
  EXPECT_TRUE(std::isnan(xmath::ArcTangent2(1, NAN)));
}

// What a user meets: the expressions atan, asin and acos against the library's 80-bit
// functions, and their exact values at the ends. Near -1 and 1, asin and acos take their
// second operand from 1 - x^2, which carries the rounding of x^2: there they are compared
// with the instruction given the same operands.
class ArcFunctions : public EngineTest {};

TEST_F(ArcFunctions, ExpressionsWithinOneUlpOfTheLibrary) {
  double worst_atan = 0, worst_asin = 0, worst_acos = 0, worst_near_ends = 0;
  ASSERT_TRUE(PrepareFunction("atan(x)", 0));
  for (int i = -20000; i <= 20000; ++i) {
    const double x = i * 0.00037;
    worst_atan = std::max(worst_atan, Ulps(EvaluateFunction(0, x, 0, 0), atanl(x)));
  }
  ASSERT_TRUE(PrepareFunction("asin(x)", 0));
  ASSERT_TRUE(PrepareFunction("acos(x)", 1));
  for (int i = -20000; i <= 20000; ++i) {
    const double x = i / 20000.0;
    const long double asin = EvaluateFunction(0, x, 0, 0), acos = EvaluateFunction(1, x, 0, 0);
    if (std::fabs(x) <= 0.5) {
      worst_asin = std::max(worst_asin, Ulps(asin, asinl(x)));
      worst_acos = std::max(worst_acos, Ulps(acos, acosl(x)));
    }
    const Point s = ForArcSin(x), c = ForArcCos(x);
    worst_near_ends = std::max({worst_near_ends, Ulps(asin, atan2l(s.y, s.x)), Ulps(acos, atan2l(c.y, c.x))});
  }
  EXPECT_LE(worst_atan, 1.0);
  EXPECT_LE(worst_asin, 1.0);
  EXPECT_LE(worst_acos, 1.0);
  EXPECT_LE(worst_near_ends, 1.0);
  const long double pi = 3.141592653589793238462643383279502884L;
  EXPECT_EQ(Eval("acos(-1)"), pi);
  EXPECT_EQ(Eval("acos(1)"), 0.0L);
  EXPECT_EQ(Eval("asin(1)"), 1.570796326794896619231321691639751442L);
  EXPECT_EQ(Eval("asin(-1)"), -1.570796326794896619231321691639751442L);
  EXPECT_EQ(Eval("atan(0)"), 0.0L);
  EXPECT_TRUE(IsUndefinedAt("asin(x)", 1.5));
  EXPECT_TRUE(IsUndefinedAt("acos(x)", -1.0000001));
}

}  // namespace
