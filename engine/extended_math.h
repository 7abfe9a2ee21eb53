#pragma once
// 80-bit elementary functions for the evaluator's inner loop, within 2 units in the last
// place of the C library's 80-bit functions (the tests check it) and several times faster.
// Sine and cosine reduce the argument by multiples of pi/2 given in parts (Cody-Waite) and
// evaluate Taylor polynomials; beyond 1E9 the library's functions take over. The logarithm
// (fyl2x) and the arc tangent (fpatan) are the instructions the library uses itself; exp
// reduces by multiples of ln 2 and uses f2xm1 and fscale. The x87 sine instruction is not
// used: it is slower than the polynomial and wrong near multiples of pi for large operands.
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace xmath {

static_assert(LDBL_MANT_DIG == 64, "long double must be the 80-bit extended type");

// Adding and removing 1.5 * 2^63 rounds an 80-bit value to an integer (nearest, ties to
// even) when its magnitude is below 2^62.
inline constexpr long double kRoundingShift = 0x1.8p63L;
inline long double RoundNear(long double v) { return (v + kRoundingShift) - kRoundingShift; }

#if defined(__x86_64__) || defined(__i386__)

inline long double Sqrt(long double v) {
  long double r;
  asm("fsqrt" : "=t"(r) : "0"(v));
  return r;
}

// ln v for v > 0.
inline long double Ln(long double v) {
  long double r;
  asm("fyl2x" : "=t"(r) : "0"(v), "u"(0.693147180559945309417232121458176568L) : "st(1)");
  return r;
}

// The angle of (x, y), in -pi .. pi.
inline long double ATan2(long double y, long double x) {
  long double r;
  asm("fpatan" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
  return r;
}

// An integral value (|v| < 2^63) as an integer.
inline std::int64_t IntegralToInt64(long double v) {
  std::int64_t r;
  asm("fistpll %0" : "=m"(r) : "t"(v) : "st");
  return r;
}

namespace detail {
inline long double TwoPowMinusOne(long double v) {  // |v| <= 1
  long double r;
  asm("f2xm1" : "=t"(r) : "0"(v));
  return r;
}
inline long double Scale(long double v, long double n) {  // v * 2^n, n integral
  long double r;
  asm("fscale" : "=t"(r) : "0"(v), "u"(n));
  return r;
}
}  // namespace detail

#else

inline long double Sqrt(long double v) { return sqrtl(v); }
inline long double Ln(long double v) { return logl(v); }
inline long double ATan2(long double y, long double x) { return atan2l(y, x); }
inline std::int64_t IntegralToInt64(long double v) { return static_cast<std::int64_t>(v); }
namespace detail {
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

// x - k pi/2 with |result| <= pi/4 (a hair more when k is chosen at a tie); quadrant = k mod 4.
inline long double ReduceQuarterTurns(long double x, unsigned& quadrant) {
  const long double k = RoundNear(x * kTwoOverPi);
  quadrant = static_cast<unsigned>(IntegralToInt64(k)) & 3u;
  if (std::fabs(x) < kShortReductionLimit) {
    return ((x - k * kShortHalfPi1) - k * kShortHalfPi2) - k * kShortHalfPi3;
  }
  return ((((x - k * kHalfPi1) - k * kHalfPi2) - k * kHalfPi3) - k * kHalfPi4) - k * kHalfPi5;
}

inline constexpr double kLog2e = 1.4426950408889634;  // only chooses the power of two
// log2(e) and ln 2 as sums of two doubles; the first part of ln 2 has 32 significant bits.
inline constexpr double kLog2eHigh = 0x1.71547652b82fep0;
inline constexpr double kLog2eLow = 0x1.777d0ffda0d24p-56;
inline constexpr double kLn2High = 0x1.62E42FEFp-1;
inline constexpr double kLn2Low = 0x1.473de6af278edp-34;
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

inline SeriesTerms EvaluateSeries(const double* k, long double z) {
  const long double z2 = z * z, z4 = z2 * z2;
  return {static_cast<long double>(k[0]) + k[1], static_cast<long double>(k[2]) + k[3],
          ((k[4] + k[5] * z) + z2 * (k[6] + k[7] * z)) + z4 * ((k[8] + k[9] * z) + z2 * k[10])};
}

inline long double SinOfReduced(long double r) {
  const long double z = r * r;
  const SeriesTerms s = EvaluateSeries(kSinCoefficients, z);
  return r + r * z * (s.first + z * (s.second + z * s.tail));
}

inline long double CosOfReduced(long double r) {
  const long double z = r * r, z2 = z * z;
  const SeriesTerms c = EvaluateSeries(kCosCoefficients, z);
  const long double half = z / 2, w = 1 - half;
  return w + (((1 - w) - half) + z2 * (c.first + z * (c.second + z * c.tail)));
}
}  // namespace detail

// sin x for any finite x (exact reduction below 1E9, the C library's beyond).
inline long double Sin(long double x) {
  if (!(std::fabs(x) < detail::kReductionLimit)) return sinl(x);
  unsigned quadrant;
  const long double r = detail::ReduceQuarterTurns(x, quadrant);
  switch (quadrant) {
    case 0: return detail::SinOfReduced(r);
    case 1: return detail::CosOfReduced(r);
    case 2: return -detail::SinOfReduced(r);
    default: return -detail::CosOfReduced(r);
  }
}

inline long double Cos(long double x) {
  if (!(std::fabs(x) < detail::kReductionLimit)) return cosl(x);
  unsigned quadrant;
  const long double r = detail::ReduceQuarterTurns(x, quadrant);
  switch (quadrant) {
    case 0: return detail::CosOfReduced(r);
    case 1: return -detail::SinOfReduced(r);
    case 2: return -detail::CosOfReduced(r);
    default: return detail::SinOfReduced(r);
  }
}

// e^y for any y: 0 below the range, infinity above it. (On the processors measured, f2xm1
// and fscale beat a polynomial with a power of two built in memory.)
inline long double Exp(long double y) {
  if (!(std::fabs(y) <= 11000)) return expl(y);
  const long double n = RoundNear(y * detail::kLog2e);
  const long double r = (y - n * detail::kLn2High) - n * detail::kLn2Low;
  const long double t = r * detail::kLog2eHigh + r * detail::kLog2eLow;
  return detail::Scale(detail::TwoPowMinusOne(t) + 1, n);
}

}  // namespace xmath
