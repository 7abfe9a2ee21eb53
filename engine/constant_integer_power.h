#pragma once
// base^n for a constant integer n, as the evaluators compute it: the same value and the same
// bounds as the "^" operation (ops::Power), with the bounds of |base| precomputed so that the
// logarithm is needed only close to them.
#include <cmath>
#include <cstdint>

#include "engine/operation_kernels.h"

struct ConstantIntegerPower {
  // Inside surely_defined_above .. surely_defined_below the result is defined, below
  // surely_undefined_below and above surely_undefined_above it is not; in between, the exact
  // test |n ln|base|| < 698 decides.
  double surely_undefined_below = 0;
  double surely_defined_above = 0;
  double surely_defined_below = 0;
  double surely_undefined_above = 0;
  std::int64_t exponent = 0;

  void SetExponent(std::int64_t n);

  // The exact test, for |base| = m between the bounds.
  bool DefinedNearBounds(long double m) const;

  [[gnu::always_inline]] bool Defined(long double m) const {
    if (m > surely_defined_above && m < surely_defined_below) [[likely]] return true;
    if (m < surely_undefined_below || m > surely_undefined_above) return false;
    return DefinedNearBounds(m);
  }

  // base^n; sets kUndefined where "^" is undefined. Square: n is 2.
  template <bool Square>
  [[gnu::always_inline]] long double Of(long double base, ops::Status& s) const {
    if (base == 0) {
      if (exponent < 0) s |= ops::kUndefined;
      return 0;
    }
    const long double m = std::fabs(base);
    if (!Defined(m)) {
      s |= ops::kUndefined;
      return 0;
    }
    if constexpr (Square) {
      return m * m;
    } else {
      const long double v = ops::IntegerPower(m, exponent);
      return base < 0 && (exponent & 1) ? -v : v;
    }
  }
};
