#pragma once
// 80-bit elementary functions for the evaluator's inner loop, several times faster than
// the C library's 80-bit functions and close to them (the tests check it): sine and cosine
// within 2 units in the last place, exp and ln within 1, the tangent as close to the true
// value as the library's.
// Sine, cosine and tangent reduce the argument by multiples of pi/2 given in parts
// (Cody-Waite) and evaluate Taylor polynomials (Padé fractions for the tangent and the
// cotangent); beyond 1E9 the library's functions take over. exp reduces
// by multiples of ln 2 / 128 and multiplies a table value by a short polynomial; ln takes
// the mantissa's interval from the double nearest to its operand and evaluates the series
// of ln(1 + r) for |r| < 0.006 (the microcoded f2xm1, fscale and fyl2x cost several times
// more). ATan2 is the instruction the library uses itself (fpatan), for the operands that
// the table arc tangent (arc_tangent.h) leaves to it. The x87 sine instruction is not used:
// it is slower than the polynomial and wrong near multiples of pi for large operands.
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace xmath {

static_assert(LDBL_MANT_DIG == 64, "long double must be the 80-bit extended type");

// v rounded to double, kept in an SSE register. A first test of v's range on it costs far
// less than an x87 comparison; it decides wherever the double tells for sure (each use says
// why), and the exact 80-bit test runs only for what it leaves open.
[[gnu::always_inline]] inline double RoundedForTest(long double v) {
  double d = static_cast<double>(v);
#if defined(__x86_64__)
  asm("" : "+x"(d));
#endif
  return d;
}

// Adding and removing 1.5 * 2^63 rounds an 80-bit value to an integer (nearest, ties to
// even) when its magnitude is below 2^62.
inline constexpr long double kRoundingShift = 0x1.8p63L;
[[gnu::always_inline]] inline long double RoundNear(long double v) { return (v + kRoundingShift) - kRoundingShift; }

// The integral part of v towards zero, as std::trunc (a zero keeps v's sign), without the
// two changes of the x87 control word the library's version makes.
[[gnu::always_inline]] inline long double Trunc(long double v) {
  const double rounded = RoundedForTest(v);
  if (!(std::fabs(rounded) < 0x1p61)) return std::trunc(v);
  const long double magnitude = std::fabs(v);
  long double t = RoundNear(magnitude);
  if (t > magnitude) t -= 1;
  return std::signbit(rounded) ? -t : t;
}

// The largest integer not above v, as std::floor.
[[gnu::always_inline]] inline long double Floor(long double v) {
  const long double t = Trunc(v);
  return t > v ? t - 1 : t;
}

#if defined(__x86_64__) || defined(__i386__)

[[gnu::always_inline]] inline long double Sqrt(long double v) {
  long double r;
  asm("fsqrt" : "=t"(r) : "0"(v));
  return r;
}

namespace detail {
// ln v for v > 0 by the instruction (any operand, also beyond the double range).
[[gnu::always_inline]] inline long double LnByInstruction(long double v) {
  long double r;
  asm("fyl2x" : "=t"(r) : "0"(v), "u"(0.693147180559945309417232121458176568L) : "st(1)");
  return r;
}
}  // namespace detail

// The angle of (x, y), in -pi .. pi.
[[gnu::always_inline]] inline long double ATan2(long double y, long double x) {
  long double r;
  asm("fpatan" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
  return r;
}

// An integral value (|v| < 2^63) as an integer.
[[gnu::always_inline]] inline std::int64_t IntegralToInt64(long double v) {
  std::int64_t r;
  asm("fistpll %0" : "=m"(r) : "t"(v) : "st");
  return r;
}

namespace detail {
[[gnu::always_inline]] inline long double TwoPowMinusOne(long double v) {  // |v| <= 1
  long double r;
  asm("f2xm1" : "=t"(r) : "0"(v));
  return r;
}
[[gnu::always_inline]] inline long double Scale(long double v, long double n) {  // v * 2^n, n integral
  long double r;
  asm("fscale" : "=t"(r) : "0"(v), "u"(n));
  return r;
}
}  // namespace detail

#else

inline long double Sqrt(long double v) { return sqrtl(v); }
inline long double ATan2(long double y, long double x) { return atan2l(y, x); }
inline std::int64_t IntegralToInt64(long double v) { return static_cast<std::int64_t>(v); }
namespace detail {
inline long double LnByInstruction(long double v) { return logl(v); }
inline long double TwoPowMinusOne(long double v) { return exp2l(v) - 1; }
inline long double Scale(long double v, long double n) { return ldexpl(v, static_cast<int>(n)); }
}  // namespace detail

#endif

namespace detail {
// The constants of the inner loop are doubles (or sums of two doubles): loading a 10-byte
// value from memory costs several times more than loading an 8-byte one.

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

// exp: 128 / ln 2 (only chooses k), and ln 2 / 128 in two parts, the first with 43
// significant bits so that k times it is exact for |k| < 2^21.
inline constexpr double kExpSteps = 0x1.71547652b82fep+7;
inline constexpr double kExpStepHigh = 0x1.62e42fefa38p-8;
inline constexpr double kExpStepLow = 0x1.ef35793c7673p-52;
extern const double kExpTable[256];  // 2^(j/128) as high, low

// ln: ln 2 in two parts, the first a multiple of 2^-42 (e times it is exact for |e| < 2^10).
inline constexpr double kLn2High = 0x1.62e42fefa38p-1;
inline constexpr double kLn2Low = 0x1.ef35793c7673p-45;
extern const double kLnReciprocals[128];
extern const double kLnOfReciprocals[256];

// v * 2^n, exactly (for a normal result).
[[gnu::always_inline]] inline long double TimesPowerOfTwo(long double v, std::int64_t n) {
  if (n >= -1022 && n <= 1023) return v * std::bit_cast<double>(static_cast<std::uint64_t>(n + 1023) << 52);
  return Scale(v, static_cast<long double>(n));
}
}  // namespace detail

namespace detail {
// Taylor coefficients of sin r = r + r z (s1 + s2 z + ...) and cos r = 1 - z/2 + z^2 (c2 +
// c3 z + ...), z = r^2, |r| <= pi/4: the first two of each as sums of two doubles, the
// others as doubles. Defined in extended_math.cpp so that the compiler cannot merge a pair
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

// The reduction of x beyond a quarter turn (|x| >= kWithinQuarterTurn, `rounded` the double
// nearest to x) as sine and cosine make it: r and the quadrant k mod 4, from |x| where the
// double settles k (`negate` then tells that x < 0, so that an odd function's value is to be
// negated), from x otherwise. False from kReductionLimit on, where the library's functions
// take over. (Sine and cosine spell it out: so written, the compiler lays them out
// differently, and they run 4% slower.)
template <class Reduced = long double>
[[gnu::always_inline]] inline bool ReduceBeyondQuarterTurn(long double x, double rounded, Reduced& r,
                                                          unsigned& quadrant, bool& negate) {
  const double nearest = std::fabs(rounded);
  const int k = nearest < kFewQuarterTurnsLimit ? FewQuarterTurns(nearest) : -1;
  if (k >= 0) {
    r = ReduceFewQuarterTurns<Reduced>(std::fabs(x), k);
    quadrant = static_cast<unsigned>(k) & 3u;
    negate = std::signbit(rounded);
    return true;
  }
  const bool near = nearest < kNearLimit;
  if (!near && !(std::fabs(x) < kReductionLimit)) return false;
  r = ReduceQuarterTurns<Reduced>(x, quadrant, near);
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

// e^y for any y: 0 below the range, infinity above it. y = k ln2/128 + r with |r| <= ln2/256,
// e^y = 2^(k/128) (1 + p), p = e^r - 1 by its Taylor polynomial (the first term left out,
// r^7/7!, is below 2^-71).
[[gnu::always_inline]] inline long double Exp(long double y) {
  if (!(std::fabs(RoundedForTest(y)) <= 10999) && !(std::fabs(y) <= 11000)) return expl(y);
  const long double kf = RoundNear(y * detail::kExpSteps);
  const std::int64_t k = IntegralToInt64(kf);
  const long double r = (y - kf * detail::kExpStepHigh) - kf * detail::kExpStepLow;
  const long double z = r * r;
  const long double p =
      r + z * ((0.5 + r * (1.0 / 6)) + z * ((1.0 / 24 + r * (1.0 / 120)) + z * (1.0 / 720)));
  const double* t = detail::kExpTable + 2 * (k & 127);
  const long double high = t[0], low = t[1];
  return detail::TimesPowerOfTwo(high + (low + (high + low) * p), k >> 7);
}

// ln v for v > 0. With c the reciprocal for the interval of v's mantissa (from the double
// nearest to v), v = 2^e m and r = m c - 1: ln v = e ln 2 - ln c + ln(1 + r), the last by
// its series up to r^9 (|r| < 0.006, and below 2^-8 where e and -ln c are 0, around 1).
// m c - 1 is exact for the double part of m (53 bits times 11); the rest adds its product.
// Where that double lies outside 2^-1020 .. 2^1020 (and for infinities and NaN) the
// instruction takes over.
[[gnu::always_inline]] inline long double Ln(long double v) {
  const double nearest = RoundedForTest(v);
  if (!(nearest >= 0x1p-1020 && nearest <= 0x1p1020)) return detail::LnByInstruction(v);
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(nearest) + (std::uint64_t{1} << 44);
  const unsigned j = static_cast<unsigned>(bits >> 45) & 127u;
  const std::int64_t e = static_cast<std::int64_t>(bits >> 52) - 1023 + (j >> 6);
  const double scale = std::bit_cast<double>(static_cast<std::uint64_t>(1023 - e) << 52);
  const double c = detail::kLnReciprocals[j];
  const long double m_high = static_cast<long double>(nearest) * scale;
  const long double m_low = (v - nearest) * scale;
  const long double r = (m_high * c - 1) + m_low * c;
  const long double z = r * r;
  const long double series =
      r + z * ((-0.5 + r * (1.0 / 3)) +
               z * ((-0.25 + r * 0.2) + z * ((-1.0 / 6 + r * (1.0 / 7)) + z * (-0.125 + r * (1.0 / 9)))));
  const double* l = detail::kLnOfReciprocals + 2 * j;
  const long double ef = static_cast<long double>(e);
  return (ef * detail::kLn2High + l[0]) + ((ef * detail::kLn2Low + l[1]) + series);
}

}  // namespace xmath
