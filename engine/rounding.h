#pragma once
// Rounding to integers (ties to even) and to ten significant digits. A conversion of a
// non-finite value, or of one beyond the destination's range, raises
// FloatInvalidOperationError instead of being undefined.
#include <cmath>
#include <cstdint>

#include "engine/number_errors.h"

std::int64_t RoundToInt64(long double value);  // nearest, ties to even
std::int64_t TruncLargeToInt64(long double value);  // TruncToInt64 from 2^62 on, and NaN

// Towards zero. Below 2^62 the conversion itself truncates and cannot overflow, so the
// checked path is only taken beyond (many callers convert a value per sample or pixel).
inline std::int64_t TruncToInt64(long double value) {
  if (std::fabs(value) < 0x1p62L) return static_cast<std::int64_t>(value);
  return TruncLargeToInt64(value);
}
int RoundToInt(long double value);             // nearest, ties to even, 32-bit

// The value kept down to the decimal place 10^k with k = N(log10(|x|)) - 10, that is to
// 10 or 11 significant digits (removes the noise of the last bits before display:
// 0.1 + 0.2 gives 0.3). Computed in 80-bit arithmetic. x = 0 raises FloatZeroDivideError
// (its logarithm), a non-finite x FloatInvalidOperationError.
long double RoundToTenDigitsExt(long double x);
long double RoundToTenDigits(double x);
