#pragma once
// base^n for a constant integer n, as the evaluators compute it: the same value and the same
// bounds as the "^" operation (ops::Power), with the bounds of |base| precomputed so that the
// logarithm is needed only close to them.
#include <cmath>
#include <cstdint>
#include <type_traits>

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

  // base^n; sets kUndefined where "^" is undefined. Fixed: the exponent when it is one of
  // those of WithFixedExponent (the squarings then run without a loop), else 0.
  template <int Fixed>
  [[gnu::always_inline]] long double Of(long double base, ops::Status& s) const {
    // A double of |base| inside the sure bounds (their margins exceed its rounding) comes
    // from a base that is nonzero, inside them too, and of the same sign.
    const double rounded = ops::RoundedForTest(base);
    const double magnitude = std::fabs(rounded);
    if (magnitude > surely_defined_above && magnitude < surely_defined_below) [[likely]] {
      const long double v = PowerOf<Fixed>(std::fabs(base));
      return std::signbit(rounded) && IsOdd<Fixed>() ? -v : v;
    }
    return OfAnyBase<Fixed>(base, s);
  }

  // Of for a base that is a double (x, a, b): the base is its own rounding for the test.
  template <int Fixed>
  [[gnu::always_inline]] long double OfDouble(double base, ops::Status& s) const {
    const double magnitude = std::fabs(base);
    if (magnitude > surely_defined_above && magnitude < surely_defined_below) [[likely]] {
      const long double v = PowerOf<Fixed>(std::fabs(static_cast<long double>(base)));
      return std::signbit(base) && IsOdd<Fixed>() ? -v : v;
    }
    return OfAnyBase<Fixed>(base, s);
  }

 private:
  template <int Fixed>
  [[gnu::always_inline]] long double PowerOf(long double m) const {
    if constexpr (Fixed != 0) {
      return UnrolledPower<Fixed>(m);
    } else {
      return ops::IntegerPower(m, exponent);
    }
  }

  template <int Fixed>
  [[gnu::always_inline]] bool IsOdd() const {
    return ((Fixed != 0 ? Fixed : exponent) & 1) != 0;
  }

  template <int Fixed>
  long double OfAnyBase(long double base, ops::Status& s) const {
    if (base == 0) {
      if (exponent < 0) s |= ops::kUndefined;
      return 0;
    }
    const long double m = std::fabs(base);
    if (!Defined(m)) {
      s |= ops::kUndefined;
      return 0;
    }
    const long double v = PowerOf<Fixed>(m);
    return base < 0 && IsOdd<Fixed>() ? -v : v;
  }

  // The steps of ops::IntegerPower for a fixed n, in the same order.
  template <std::uint64_t Bits>
  [[gnu::always_inline]] static long double Squarings(long double result, long double b) {
    if constexpr ((Bits & 1) != 0) result *= b;
    if constexpr ((Bits >> 1) == 0) {
      return result;
    } else {
      return Squarings<(Bits >> 1)>(result, b * b);
    }
  }
  template <int N>
  [[gnu::always_inline]] static long double UnrolledPower(long double b) {
    if constexpr (N < 0) {
      return 1 / Squarings<static_cast<std::uint64_t>(-N)>(1, b);
    } else {
      return Squarings<static_cast<std::uint64_t>(N)>(1, b);
    }
  }
};

// Calls f with std::integral_constant<int, n> for the small exponents whose powers run
// without a loop, and with std::integral_constant<int, 0> for the others.
template <class F>
decltype(auto) WithFixedExponent(std::int64_t n, F&& f) {
  switch (n) {
    case 2: return f(std::integral_constant<int, 2>{});
    case 3: return f(std::integral_constant<int, 3>{});
    case 4: return f(std::integral_constant<int, 4>{});
    case 5: return f(std::integral_constant<int, 5>{});
    case 6: return f(std::integral_constant<int, 6>{});
    case -1: return f(std::integral_constant<int, -1>{});
    case -2: return f(std::integral_constant<int, -2>{});
    default: return f(std::integral_constant<int, 0>{});
  }
}
