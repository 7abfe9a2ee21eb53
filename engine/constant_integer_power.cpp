#include "engine/constant_integer_power.h"

#include "engine/rounded_bounds.h"

void ConstantIntegerPower::SetExponent(std::int64_t n) {
  exponent = n;
  if (n == 0) {
    surely_defined_above = 0;
    surely_defined_below = HUGE_VAL;
    return;
  }
  // |n ln m| < 698 <=> e^(-698/|n|) < m < e^(698/|n|); a margin of 1E-15 either side is
  // far wider than the rounding of the exact test. Both bounds lie well inside the double
  // range (e^-698 .. e^698).
  const long double t = ops::kPowerLimit / std::fabs(static_cast<long double>(n));
  const long double high = expl(t), low = expl(-t);
  surely_undefined_below = RoundedDown(low * (1 - 1e-15L));
  surely_defined_above = RoundedUp(low * (1 + 1e-15L));
  surely_defined_below = RoundedDown(high * (1 - 1e-15L));
  surely_undefined_above = RoundedUp(high * (1 + 1e-15L));
}

bool ConstantIntegerPower::DefinedNearBounds(long double m) const {
  return std::fabs(static_cast<long double>(exponent) * xmath::Ln(m)) < ops::kPowerLimit;
}
