#pragma once
// The angle of a point in 80-bit arithmetic, several times faster than the x87 instruction
// fpatan and within one unit in the last place of it (the tests check it).
//
// With m and M the smaller and the larger of |x| and |y|, the angle is K + s atan(m / M)
// for K one of 0, pi/2 and pi and s = +-1 (the octant), with the sign of y. For the table
// point c nearest to t = m / M, atan t = atan c + atan u with
//   u = (t - c) / (1 + t c) = (m - c M) / (M + c m),
// a single division whose operands need no rounding of t: c has six significant bits, so c
// times the double nearest to M is exact, and m minus it is exact as well (the two lie
// within a factor of two of each other); only c times the small rest of M is rounded. The
// table point comes from the quotient of the doubles nearest to m and M, which the SSE unit
// computes while the x87 one loads its operands. Table points are 2^e (1 + k/32) for
// t >= 2^-9 (so |u| < 2^-7) and 0 below (u = t); atan u is its Taylor polynomial up to u^7.
// atan c is stored as a sum of two doubles, the first a multiple of 2^-62, so that K plus
// or minus it is exact and the result is rounded once, in the last addition.
// Operands outside 2^-1000 .. 2^1000 (for the larger one), and infinities and NaN, go to
// the instruction.
#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/extended_math.h"

namespace xmath {

namespace detail {
// Rows of (c, atan c high, atan c low): c = 0, then c = 2^e (1 + k/32) for e = -9 .. -1
// and k = 0 .. 31, then c = 1.
inline constexpr int kArcTangentRows = 290;
extern const double kArcTangentTable[3 * kArcTangentRows];

// The key of a double q in 0 .. 1 is its exponent and first five bits of mantissa, rounded
// to nearest; keys below that of 2^-9 take row 0.
inline constexpr int kArcTangentKeyShift = 47;
inline constexpr std::uint64_t kArcTangentFirstKey = std::uint64_t{1023 - 9} << 5;

// K high, K low and s for each octant, the sign of y included: for y >= 0, |y| <= |x| with
// x >= 0, then with x < 0, then |y| > |x| with x >= 0 and with x < 0 (x = -0 counts as
// negative, as for the instruction); then the same for y < 0, all negated (-0 for K = 0,
// so that y = -0 gives -0).
extern const double kOctantTerms[24];

// Range of the larger operand's double where the quick path applies.
inline constexpr double kArcTangentLowest = 0x1p-1000;
inline constexpr double kArcTangentHighest = 0x1p1000;
}  // namespace detail

#if defined(__x86_64__) || defined(__i386__)

// The angle of (x, y), in -pi .. pi, as ATan2 gives it within one unit in the last place,
// and equal to it for zeros: (+-0, x > 0) gives +-0, (+-0, x < 0) gives +-pi,
// (y != 0, +-0) gives +-pi/2, and both zero what the instruction gives.
[[gnu::always_inline]] inline long double ArcTangent2(long double y, long double x) {
  const double x_d = RoundedForTest(x), y_d = RoundedForTest(y);
  const long double ax = std::fabs(x), ay = std::fabs(y);
  const bool steep = ay > ax;
  const long double low = steep ? ax : ay, high = steep ? ay : ax;
  const double low_d = std::fabs(steep ? x_d : y_d), high_d = std::fabs(steep ? y_d : x_d);
  if (!(high_d >= detail::kArcTangentLowest && high_d <= detail::kArcTangentHighest && low_d <= high_d)) {
    return ATan2(y, x);
  }
  const double q = low_d / high_d;
  const std::uint64_t key =
      (std::bit_cast<std::uint64_t>(q) + (std::uint64_t{1} << (detail::kArcTangentKeyShift - 1))) >>
      detail::kArcTangentKeyShift;
  const std::uint64_t row = key >= detail::kArcTangentFirstKey ? key - detail::kArcTangentFirstKey + 1 : 0;
  const double* entry = detail::kArcTangentTable + 3 * row;
  const long double c = entry[0];
  const long double u = ((low - c * high_d) - c * (high - high_d)) / (high + c * low);
  const long double z = u * u, z2 = z * z;
  const long double p = u + (u * z) * ((-1.0 / 3 + z * 0.2) + z2 * (-1.0 / 7));
  const std::uint64_t octant = (std::bit_cast<std::uint64_t>(y_d) >> 63 << 2) +
                               (std::uint64_t{steep} << 1) + (std::bit_cast<std::uint64_t>(x_d) >> 63);
  const double* terms = detail::kOctantTerms + 3 * octant;
  const long double s = terms[2];
  return (terms[0] + s * entry[1]) + (terms[1] + s * (entry[2] + p));
}

#else

inline long double ArcTangent2(long double y, long double x) { return atan2l(y, x); }

#endif

}  // namespace xmath
