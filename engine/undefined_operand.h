#pragma once
// An operand exactly equal to UndefinedValue ends an evaluation as undefined. The evaluators
// compute on without reading the values back, so they test each computed value instead.
#include "engine/operation_kernels.h"

namespace undefined_operand {

// UndefinedValue as the exact sum of two doubles (cheaper to load than 10 bytes), and the
// double just below it: smaller values need no exact test. Set by Refresh.
extern double high, low, threshold;

// Takes the parts of the undefined value of the program (program_variant.cpp calls it
// when the program is chosen, and for the starting program before main).
void Refresh(long double undefined_value);

[[gnu::always_inline]] inline bool Equals(long double v) { return v == static_cast<long double>(high) + low; }

// Notes in `s` a value computed by Kernel that equals UndefinedValue. Kernels whose values
// stay far below it in magnitude (or that return one of their operands unchanged) skip it.
template <class Kernel>
[[gnu::always_inline]] inline long double Noted(long double v, ops::Status& s) {
  if constexpr (ops::kCanReachUndefinedValue<Kernel>) {
    if (ops::RoundedForTest(v) >= threshold) [[unlikely]] {
      if (Equals(v)) s |= ops::kUndefined;
    }
  }
  return v;
}

}  // namespace undefined_operand
