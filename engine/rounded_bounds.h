#pragma once
// Doubles on the safe side of 80-bit bounds, and 80-bit values as sums of two doubles.
#include <cmath>

// The largest double not above v, and the smallest not below it.
inline double RoundedDown(long double v) {
  const double d = static_cast<double>(v);
  return d > v ? std::nextafter(d, -HUGE_VAL) : d;
}
inline double RoundedUp(long double v) {
  const double d = static_cast<double>(v);
  return d < v ? std::nextafter(d, HUGE_VAL) : d;
}

// v as the exact sum high + low of two doubles, when it lies within the double range.
inline bool SplitIntoDoubles(long double v, double& high, double& low) {
  high = static_cast<double>(v);
  if (!std::isfinite(high)) return false;
  low = static_cast<double>(v - high);
  return static_cast<long double>(high) + low == v;
}
