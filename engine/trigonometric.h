#pragma once
// 80-bit sine, cosine and tangent for the evaluator's inner loop (see extended_math.h): the
// argument is reduced by multiples of pi/2 given in parts (Cody-Waite), then sine and cosine
// evaluate Taylor polynomials, the tangent Padé fractions for the tangent and the cotangent;
// beyond 1E9 the library's functions take over. Sine and cosine lie within 2 units in the
// last place of the library's, the tangent as close to the true value as the library's. The
// x87 sine instruction is not used: it is slower than the polynomials and wrong near
// multiples of pi for large operands.
#include <cmath>
#include <initializer_list>
#include <type_traits>

#include "engine/extended_math.h"

namespace xmath {

namespace detail {
// The constants are doubles (or sums of two doubles), as in extended_math.h.

// pi/2 in five parts: the first three have at most 33 significant bits, so that k times
// each of them is exact for |k| < 2^31; the last two carry the next 106 bits.
inline constexpr double kHalfPi1 = 0x1921fb544p-32;
inline constexpr double kHalfPi2 = 0x42d18469p-64;
inline constexpr double kHalfPi3 = 0x898cc517p-96;
inline constexpr double kHalfPi4 = 0x1b839a252049c1p-156;
inline constexpr double kHalfPi5 = 0x114cf98e804177p-212;
inline constexpr double kTwoOverPi = 0.6366197723675814;  // only chooses the quarter turn
inline constexpr double kReductionLimit = 1e9;

// For |x| < kShortReductionLimit (|k| < 2^12) a shorter chain: three parts of 52, 52 and
// 53 bits, the first two again exact when multiplied by k.
inline constexpr double kShortHalfPi1 = 0xc90fdaa22168cp-51;
inline constexpr double kShortHalfPi2 = 0x8d313198a2e03p-105;
inline constexpr double kShortHalfPi3 = 0x1c1cd129024e08p-159;
inline constexpr double kShortReductionLimit = 6000;
// Below this, the double nearest to x tells that |x| < kShortReductionLimit.
inline constexpr double kNearLimit = 5999;

// A value as the unevaluated sum high + low, |low| at most about half a unit of high.
struct TwoParts {
  long double high, low;
};

// The reduced operand as a long double, or in two parts (the tangent, steep at the quadrants'
// ends, wants what the reduction's last roundings left out).
template <class Reduced>
inline constexpr bool kInParts = std::is_same_v<Reduced, TwoParts>;

// (t - b) - c, rounded as written; in parts, also what its two roundings left out (exact
// where |t| >= |b| and |t - b| >= |c|, as a reduction leaves them unless its result is far
// below a unit of t).
template <class Reduced>
[[gnu::always_inline]] inline Reduced SubtractTwice(long double t, long double b, long double c) {
  const long double u = t - b, r = u - c;
  if constexpr (kInParts<Reduced>) {
    return {r, ((t - u) - b) + ((u - r) - c)};
  } else {
    return r;
  }
}

// x - k pi/2 with |result| <= pi/4 (a hair more when k is chosen at a tie); quadrant = k mod 4.
// `near`: |x| is known to be below kShortReductionLimit.
template <class Reduced = long double>
[[gnu::always_inline]] inline Reduced ReduceQuarterTurns(long double x, unsigned& quadrant, bool near) {
  const long double k = RoundNear(x * kTwoOverPi);
  quadrant = static_cast<unsigned>(IntegralToInt64(k)) & 3u;
  if (near || std::fabs(x) < kShortReductionLimit) {
    return SubtractTwice<Reduced>(x - k * kShortHalfPi1, k * kShortHalfPi2, k * kShortHalfPi3);
  }
  if constexpr (kInParts<Reduced>) {
    // Each subtraction's rounding error, exactly, whatever the magnitudes (the first one is
    // exact).
    TwoParts r{x - k * kHalfPi1, 0};
    for (const double part : {kHalfPi2, kHalfPi3, kHalfPi4, kHalfPi5}) {
      const long double b = -(k * part), sum = r.high + b, b_rounded = sum - r.high;
      r.low += (r.high - (sum - b_rounded)) + (b - b_rounded);
      r.high = sum;
    }
    return r;
  } else {
    return ((((x - k * kHalfPi1) - k * kHalfPi2) - k * kHalfPi3) - k * kHalfPi4) - k * kHalfPi5;
  }
}
}  // namespace detail

namespace detail {
// Taylor coefficients of sin r = r + r z (s1 + s2 z + ...) and cos r = 1 - z/2 + z^2 (c2 +
// c3 z + ...), z = r^2, |r| <= pi/4: the first two of each as sums of two doubles, the
// others as doubles. Defined in trigonometric.cpp so that the compiler cannot merge a pair
// back into one 10-byte constant.
extern const double kSinCoefficients[11];  // s1 high, s1 low, s2 high, s2 low, s3 .. s9
extern const double kCosCoefficients[11];  // c2 high, c2 low, c3 high, c3 low, c4 .. c10

// The part both series share, for coefficients k laid out as above: the two leading
// coefficients as long doubles and k[4] + k[5] z + ... + k[10] z^6.
struct SeriesTerms {
  long double first, second, tail;
};

[[gnu::always_inline]] inline SeriesTerms EvaluateSeries(const double* k, long double z) {
  const long double z2 = z * z, z4 = z2 * z2;
  return {static_cast<long double>(k[0]) + k[1], static_cast<long double>(k[2]) + k[3],
          ((k[4] + k[5] * z) + z2 * (k[6] + k[7] * z)) + z4 * ((k[8] + k[9] * z) + z2 * k[10])};
}

[[gnu::always_inline]] inline long double SinOfReduced(long double r) {
  const long double z = r * r;
  const SeriesTerms s = EvaluateSeries(kSinCoefficients, z);
  return r + r * z * (s.first + z * (s.second + z * s.tail));
}

[[gnu::always_inline]] inline long double CosOfReduced(long double r) {
  const long double z = r * r, z2 = z * z;
  const SeriesTerms c = EvaluateSeries(kCosCoefficients, z);
  const long double half = z / 2, w = 1 - half;
  return w + (((1 - w) - half) + z2 * (c.first + z * (c.second + z * c.tail)));
}

// tan r = r + r^3/3 + r^5 P(z)/Q(z) and cot r = 1/r - r C(z)/D(z), z = r^2, for |r| <= pi/4:
// Padé approximants of the series, within 2^-68 of the functions (the long double
// coefficients matter: the fractions carry a fifth of the cotangent's value).
inline constexpr long double kTanP[4] = {0.1333333333333333333333333L, -0.009033695349484823169033695L,
                                         0.0001480826248628106213245532L, -0.0000005991961042987301443900458L};
inline constexpr long double kTanQ[4] = {-0.4725146198830409356725146L, 0.0283453732370141038871689L,
                                         -0.0004494897374154340098612544L, 0.000001797690136183428237091808L};
inline constexpr long double kCotC[5] = {0.3333333333333333333333333L, -0.0245614035087719298245614L,
                                         0.0004422821760283060592658116L, -0.000002184109511250894119831168L,
                                         1.527349308567058825056761e-9L};
inline constexpr long double kCotD[4] = {-0.1403508771929824561403509L, 0.004334365325077399380804954L,
                                         -0.00003931397120251609415696103L, 8.400421197118823537812186e-8L};
inline constexpr long double kThird = 1.0L / 3;

// tan (r.high + r.low), the low part taken to first order (its derivative 1 + tan^2, as
// 1 + z, is close enough for a term below a unit of the result).
[[gnu::always_inline]] inline long double TanOfReduced(TwoParts r) {
  const long double z = r.high * r.high;
  const long double p = ((kTanP[3] * z + kTanP[2]) * z + kTanP[1]) * z + kTanP[0];
  const long double q = (((kTanQ[3] * z + kTanQ[2]) * z + kTanQ[1]) * z + kTanQ[0]) * z + 1;
  const long double small = (r.high * z) * (kThird + z * (p / q));
  return r.high + (small + r.low * (1 + z));
}

// cot (r.high + r.low), r.high != 0, the low part taken to first order (the derivative
// -(1 + cot^2) as -(1/3 + 1/r^2)).
[[gnu::always_inline]] inline long double CotOfReduced(TwoParts r) {
  const long double reciprocal = 1 / r.high;
  const long double z = r.high * r.high;
  const long double c = (((kCotC[4] * z + kCotC[3]) * z + kCotC[2]) * z + kCotC[1]) * z + kCotC[0];
  const long double d = (((kCotD[3] * z + kCotD[2]) * z + kCotD[1]) * z + kCotD[0]) * z + 1;
  return reciprocal - (r.high * (c / d) + r.low * (kThird + reciprocal * reciprocal));
}
}  // namespace detail

namespace detail {
// Below this, the double nearest to x tells that |x| < pi/4 with room to spare: the quarter
// turns x * 2/pi round to k = +0, and the reduction gives x itself ((x - 0) - 0 ... is x,
// also for -0), so the reduced operand is x without the reduction's operations.
inline constexpr double kWithinQuarterTurn = 0.785;

// Below kFewQuarterTurnsLimit, k = x 2/pi rounded is known from the double nearest to x
// wherever that double's product lies clear of a half: the reduction then subtracts k times
// each part of pi/2 (exact products, constants of the program) without computing and rounding
// x * 2/pi, which shortens the chain of operations by a third. The jump on k is foreseen as a
// curve is traced (k changes once every quarter turn). For x < 0 the reduction gives the
// negative of that of |x| (rounding to nearest is symmetric), so sin x is -sin |x| and cos x
// is cos |x|, bit for bit.
inline constexpr double kFewQuarterTurnsLimit = 25.9;  // k <= 16

// k for the double nearest to x (0 <= nearest < kFewQuarterTurnsLimit), or -1 where the
// rounding of x 2/pi might differ from that of the double's.
[[gnu::always_inline]] inline int FewQuarterTurns(double nearest) {
  const double t = nearest * kTwoOverPi + 0.5;
  const int k = static_cast<int>(t);
  const double above = t - k;
  return above > 1e-9 && above < 1 - 1e-9 ? k : -1;
}

template <int K, class Reduced>
[[gnu::always_inline]] inline Reduced ReduceByConstantTurns(long double magnitude) {
  constexpr long double k = K;
  return SubtractTwice<Reduced>(magnitude - k * kShortHalfPi1, k * kShortHalfPi2, k * kShortHalfPi3);
}

// |x| - k pi/2 as ReduceQuarterTurns computes it, for k from FewQuarterTurns.
template <class Reduced>
[[gnu::always_inline]] inline Reduced ReduceFewQuarterTurns(long double magnitude, int k) {
  switch (k) {
    case 0:
      if constexpr (kInParts<Reduced>) return {magnitude, 0};
      else return magnitude;
    case 1: return ReduceByConstantTurns<1, Reduced>(magnitude);
    case 2: return ReduceByConstantTurns<2, Reduced>(magnitude);
    case 3: return ReduceByConstantTurns<3, Reduced>(magnitude);
    case 4: return ReduceByConstantTurns<4, Reduced>(magnitude);
    case 5: return ReduceByConstantTurns<5, Reduced>(magnitude);
    case 6: return ReduceByConstantTurns<6, Reduced>(magnitude);
    case 7: return ReduceByConstantTurns<7, Reduced>(magnitude);
    case 8: return ReduceByConstantTurns<8, Reduced>(magnitude);
    case 9: return ReduceByConstantTurns<9, Reduced>(magnitude);
    case 10: return ReduceByConstantTurns<10, Reduced>(magnitude);
    case 11: return ReduceByConstantTurns<11, Reduced>(magnitude);
    case 12: return ReduceByConstantTurns<12, Reduced>(magnitude);
    case 13: return ReduceByConstantTurns<13, Reduced>(magnitude);
    case 14: return ReduceByConstantTurns<14, Reduced>(magnitude);
    case 15: return ReduceByConstantTurns<15, Reduced>(magnitude);
    default: return ReduceByConstantTurns<16, Reduced>(magnitude);
  }
}

// The tangent's reduction of x beyond a quarter turn (|x| >= kWithinQuarterTurn, `rounded`
// the double nearest to x), as sine and cosine make theirs but in two parts: r and the
// quadrant k mod 4, from |x| where the double settles k (`negate` then tells that x < 0, so
// that the value is to be negated), from x otherwise. False from kReductionLimit on, where
// the library's function takes over. (Sine and cosine spell theirs out: written as one
// routine for all three, the compiler lays them out differently and they run 4% slower.)
[[gnu::always_inline]] inline bool ReduceBeyondQuarterTurn(long double x, double rounded, TwoParts& r,
                                                          unsigned& quadrant, bool& negate) {
  const double nearest = std::fabs(rounded);
  const int k = nearest < kFewQuarterTurnsLimit ? FewQuarterTurns(nearest) : -1;
  if (k >= 0) {
    r = ReduceFewQuarterTurns<TwoParts>(std::fabs(x), k);
    quadrant = static_cast<unsigned>(k) & 3u;
    negate = std::signbit(rounded);
    return true;
  }
  const bool near = nearest < kNearLimit;
  if (!near && !(std::fabs(x) < kReductionLimit)) return false;
  r = ReduceQuarterTurns<TwoParts>(x, quadrant, near);
  negate = false;
  return true;
}
}  // namespace detail

// sin x for any finite x (exact reduction below 1E9, the C library's beyond).
[[gnu::always_inline]] inline long double Sin(long double x) {
  const double rounded = RoundedForTest(x);
  const double nearest = std::fabs(rounded);
  if (nearest < detail::kWithinQuarterTurn) return detail::SinOfReduced(x);
  const int k = nearest < detail::kFewQuarterTurnsLimit ? detail::FewQuarterTurns(nearest) : -1;
  long double r;
  unsigned quadrant;
  bool negate = false;
  if (k >= 0) {
    r = detail::ReduceFewQuarterTurns<long double>(std::fabs(x), k);
    quadrant = static_cast<unsigned>(k) & 3u;
    negate = std::signbit(rounded);
  } else {
    const bool near = nearest < detail::kNearLimit;
    if (!near && !(std::fabs(x) < detail::kReductionLimit)) return sinl(x);
    r = detail::ReduceQuarterTurns(x, quadrant, near);
  }
  long double v;
  switch (quadrant) {
    case 0: v = detail::SinOfReduced(r); break;
    case 1: v = detail::CosOfReduced(r); break;
    case 2: v = -detail::SinOfReduced(r); break;
    default: v = -detail::CosOfReduced(r); break;
  }
  return negate ? -v : v;
}

[[gnu::always_inline]] inline long double Cos(long double x) {
  const double nearest = std::fabs(RoundedForTest(x));
  if (nearest < detail::kWithinQuarterTurn) return detail::CosOfReduced(x);
  const int k = nearest < detail::kFewQuarterTurnsLimit ? detail::FewQuarterTurns(nearest) : -1;
  long double r;
  unsigned quadrant;
  if (k >= 0) {
    r = detail::ReduceFewQuarterTurns<long double>(std::fabs(x), k);
    quadrant = static_cast<unsigned>(k) & 3u;
  } else {
    const bool near = nearest < detail::kNearLimit;
    if (!near && !(std::fabs(x) < detail::kReductionLimit)) return cosl(x);
    r = detail::ReduceQuarterTurns(x, quadrant, near);
  }
  switch (quadrant) {
    case 0: return detail::CosOfReduced(r);
    case 1: return -detail::SinOfReduced(r);
    case 2: return -detail::CosOfReduced(r);
    default: return detail::SinOfReduced(r);
  }
}

// tan x for any finite x: the tangent or minus the cotangent of the reduced operand, whose
// rounding error the reduction hands on. Within 1.7 units in the last place of the true
// value, as the library's tanl is, and 4 times faster. An 80-bit x is never an odd multiple
// of pi/2, so the reduced operand of an odd quadrant is never 0.
[[gnu::always_inline]] inline long double Tan(long double x) {
  const double rounded = RoundedForTest(x);
  detail::TwoParts r{x, 0};
  unsigned quadrant = 0;
  bool negate = false;
  if (std::fabs(rounded) < detail::kWithinQuarterTurn) {
    if (rounded == 0 && x == 0) return x;  // +-0
  } else if (!detail::ReduceBeyondQuarterTurn(x, rounded, r, quadrant, negate)) {
    return tanl(x);
  }
  const long double v = (quadrant & 1u) != 0 ? -detail::CotOfReduced(r) : detail::TanOfReduced(r);
  return negate ? -v : v;
}

}  // namespace xmath
