#include "engine/rounding.h"

#include <cmath>

namespace {

constexpr long double kTwoPow63 = 9223372036854775808.0L;
constexpr long double kLn10 = 2.302585092994045684017991454684364208L;

// 10^k by repeated squaring of 10 along the bits of |k|, the reciprocal for k < 0.
long double PowerOfTen(std::int64_t k) {
  std::uint64_t bits = k < 0 ? 0 - static_cast<std::uint64_t>(k) : static_cast<std::uint64_t>(k);
  long double result = 1, base = 10;
  while (bits != 0) {
    if (bits & 1) result *= base;
    bits >>= 1;
    if (bits != 0) base *= base;
  }
  return k < 0 ? 1 / result : result;
}

}  // namespace

std::int64_t RoundToInt64(long double value) {
  const long double rounded = std::nearbyint(value);  // the default mode: nearest, ties to even
  if (!(rounded >= -kTwoPow63 && rounded < kTwoPow63)) throw FloatInvalidOperationError();
  return static_cast<std::int64_t>(rounded);
}

std::int64_t TruncLargeToInt64(long double value) {
  const long double truncated = std::trunc(value);
  if (!(truncated >= -kTwoPow63 && truncated < kTwoPow63)) throw FloatInvalidOperationError();
  return static_cast<std::int64_t>(truncated);
}

int RoundToInt(long double value) {
  const std::int64_t rounded = RoundToInt64(value);
  if (rounded < -2147483648LL || rounded > 2147483647LL) throw FloatInvalidOperationError();
  return static_cast<int>(rounded);
}

long double RoundToTenDigitsExt(long double x) {
  if (x == 0) throw FloatZeroDivideError();
  if (!std::isfinite(x)) throw FloatInvalidOperationError();
  const std::int64_t k = RoundToInt64(std::log(std::fabs(x)) / kLn10) - 10;
  const long double scale = PowerOfTen(k);
  const std::int64_t m = RoundToInt64(x / scale);
  return static_cast<long double>(m) * scale;
}

long double RoundToTenDigits(double x) { return RoundToTenDigitsExt(x); }
