#pragma once
// 80-bit elementary functions for the evaluator's inner loop, several times faster than
// the C library's 80-bit functions and close to them (the tests check it): exp and ln
// within 1 unit in the last place (sine, cosine and tangent: trigonometric.h; the arc
// tangent: arc_tangent.h). exp reduces by multiples of ln 2 / 256 and multiplies a table
// value by a short polynomial; ln takes the mantissa's interval from the double nearest to
// its operand and evaluates a polynomial in r for ln(1 + r), |r| <= 0.00217 (the microcoded
// f2xm1, fscale and fyl2x cost several times more). ATan2 is the instruction the library uses
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
inline long double Scale(long double v, long double n) { return ldexpl(v, static_cast<int>(n)); }
}  // namespace detail

#endif

namespace detail {
// The constants of the inner loop are doubles (or sums of two doubles): loading a 10-byte
// value from memory costs several times more than loading an 8-byte one.

// exp: 256 / ln 2 (only chooses k), and ln 2 / 256 in two parts, the first with 31
// significant bits so that k times it is exact in double for |k| < 2^22.
inline constexpr double kExpSteps = 0x1.71547652b82fep+8;
inline constexpr double kExpStepHigh = 0x1.62e42fec00000p-9;
inline constexpr double kExpStepLow = 0x1.d1cf79abc9e3bp-40;
extern const double kExpTable[512];  // 2^(j/256) as high, low
// (e^r - 1 - r) / r^2 for |r| <= ln2/512, closest to it in the largest error of r^2 times
// it (below 2^-71): 1/2 + r/6 + r^2/24 + r^3/120 adjusted.
inline constexpr double kExpTail[4] = {0x1.fffffffffffdcp-2, 0x1.5555555555547p-3, 0x1.5555573c72668p-5,
                                       0x1.1111124fde60ap-7};

// ln: ln 2 in two parts, the first a multiple of 2^-42 (e times it is exact for |e| < 2^10).
inline constexpr double kLn2High = 0x1.62e42fefa38p-1;
inline constexpr double kLn2Low = 0x1.ef35793c7673p-45;
struct LnTableRow {
  double reciprocal, minus_ln_high, minus_ln_low;
};
extern const LnTableRow kLnTable[256];
// (ln(1 + r) - r + r^2/2) / r^3 for |r| <= 0.00217 (the largest r of the table), closest
// to it in the largest error of r^3 times it (below 2^-79): 1/3 - r/4 + r^2/5 - ... adjusted.
inline constexpr double kLnTail[5] = {0x1.5555555555555p-2, -0x1.fffffffff200ep-3, 0x1.999999997a343p-3,
                                      -0x1.5555d0194ea2dp-3, 0x1.2492e0fc04325p-3};
}  // namespace detail

// The 80-bit unit is what limits these functions' speed: only what needs 80 bits runs
// there, the rest runs in double beside it.

// e^y for |y| <= 10999, given y rounded to double. k = round(y 256 / ln 2) (from that
// double: where that rounding moves k by one, |r| exceeds ln2/512 by a hair, which the
// polynomial still covers), y = k ln2/256 + r, e^y = 2^(k/256) (1 + p), p = e^r - 1 by a
// polynomial of degree 5. k ln2/256 is subtracted in two parts, the first exact in double.
// Only r itself needs 80 bits: the terms from r^2 on (below 2^-20) are summed in double
// from r rounded to double, whose error moves them by less than 2^-71.
[[gnu::always_inline]] inline long double ExpWithin(long double y, double rounded_y) {
  const double shifted = rounded_y * detail::kExpSteps + 0x1.8p52;
  const std::int32_t k = static_cast<std::int32_t>(std::bit_cast<std::uint64_t>(shifted));
  const double kd = shifted - 0x1.8p52;
  const long double r = (y - kd * detail::kExpStepHigh) - kd * detail::kExpStepLow;
  const double rd = RoundedForTest(r);
  const double zd = rd * rd;
  const double tail = zd * ((rd * detail::kExpTail[1] + detail::kExpTail[0]) +
                            zd * (rd * detail::kExpTail[3] + detail::kExpTail[2]));
  const long double p = r + static_cast<long double>(tail);
  const double* t = detail::kExpTable + 2 * (k & 255);
  const long double high = t[0], low = t[1];
  const long double v = high + (low + (high + low) * p);
  const std::int32_t n = k >> 8;
  if (n < -1022 || n > 1023) [[unlikely]] return detail::Scale(v, static_cast<long double>(n));
  return v * std::bit_cast<double>(static_cast<std::uint64_t>(n + 1023) << 52);  // v 2^n, exactly
}

// e^y for any y: 0 below the range, infinity above it.
[[gnu::always_inline]] inline long double Exp(long double y) {
  const double rounded = RoundedForTest(y);
  if (!(std::fabs(rounded) <= 10999) && !(std::fabs(y) <= 11000)) return expl(y);
  return ExpWithin(y, rounded);
}

[[gnu::always_inline]] inline bool IsWithinLnRange(double nearest) {
  return nearest >= 0x1p-1020 && nearest <= 0x1p1020;
}

// ln v for v > 0 whose nearest double lies within ln's range. With c the reciprocal for the
// interval of v's mantissa (from that double), v = 2^e m and r = m c - 1:
// ln v = e ln 2 - ln c + ln(1 + r), the last by a polynomial of degree 7 (|r| <= 0.00217,
// and below 2^-9 where e and -ln c are 0, around 1). m c - 1 is exact for the double part
// of m (53 bits times 11); the rest adds its product. r and r^2/2 need 80 bits; the terms
// from r^3 on are summed in double from r rounded to double (relative to r, their error
// stays below 2^-70), together with the low part of e ln 2 - ln c (below 2^-33, and 0 where
// e and -ln c are). Its high part, a multiple of 2^-42 below 2^10, is exact in double.
[[gnu::always_inline]] inline long double LnWithin(long double v, double nearest) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(nearest) + (std::uint64_t{1} << 43);
  const unsigned j = static_cast<unsigned>(bits >> 44) & 255u;
  const std::int64_t e = static_cast<std::int64_t>(bits >> 52) - 1023 + (j >> 7);
  const detail::LnTableRow& row = detail::kLnTable[j];
  // c 2^-e, exactly, by its exponent field (which stays inside the normal range)
  const double c =
      std::bit_cast<double>(std::bit_cast<std::uint64_t>(row.reciprocal) - (static_cast<std::uint64_t>(e) << 52));
  const double ef = static_cast<double>(e);
  const double high = ef * detail::kLn2High + row.minus_ln_high;
  const long double r = (static_cast<long double>(nearest) * c - 1) + (v - nearest) * c;
  const double rd = RoundedForTest(r);
  const double zd = rd * rd;
  const double polynomial = (rd * detail::kLnTail[1] + detail::kLnTail[0]) +
                            zd * ((rd * detail::kLnTail[3] + detail::kLnTail[2]) + zd * detail::kLnTail[4]);
  const double tail = (rd * zd) * polynomial + (ef * detail::kLn2Low + row.minus_ln_low);
  const long double series = r + ((r * r) * -0.5 + static_cast<long double>(tail));
  return static_cast<long double>(high) + series;
}

// ln v for v > 0; beyond ln's range (and for infinities and NaN) the instruction.
[[gnu::always_inline]] inline long double Ln(long double v) {
  const double nearest = RoundedForTest(v);
  if (!IsWithinLnRange(nearest)) return detail::LnByInstruction(v);
  return LnWithin(v, nearest);
}

}  // namespace xmath
