#pragma once
// 80-bit elementary functions for the evaluator's inner loop, several times faster than
// the C library's 80-bit functions and close to them (the tests check it): exp and ln
// within 1 unit in the last place (sine, cosine and tangent: trigonometric.h; the arc
// tangent: arc_tangent.h). exp reduces by multiples of ln 2 / 128 and multiplies a table
// value by a short polynomial; ln takes the mantissa's interval from the double nearest to
// its operand and evaluates the series of ln(1 + r) for |r| < 0.006 (the microcoded f2xm1,
// fscale and fyl2x cost several times more). ATan2 is the instruction the library uses
// itself (fpatan), for the operands that the table arc tangent leaves to it. Also here: the
// roundings and x87 instructions the other functions share.
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

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
