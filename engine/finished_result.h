#pragma once
// The end of every evaluation: a non-finite result is undefined, and so is a result that is
// exactly UndefinedValue (the table's readers would take it for one). Vartelo limits the
// others to the sound range.
#include <cmath>
#include <limits>

#include "engine/operation_kernels.h"
#include "engine/program_variant.h"

namespace finished_result_detail {
// The double just below VarteloResultLimit: a cheaper constant to compare with first.
inline const double kBelowResultLimit = static_cast<double>(VarteloResultLimit) < VarteloResultLimit
                                            ? static_cast<double>(VarteloResultLimit)
                                            : std::nextafter(static_cast<double>(VarteloResultLimit), 0.0);
}  // namespace finished_result_detail

[[gnu::always_inline]] inline long double LimitToSoundRange(long double v) {
  if (v > VarteloResultLimit) return VarteloResultLimit;
  if (v < -VarteloResultLimit) return -VarteloResultLimit;
  return v;
}

// `limit`: the program is Vartelo.
// The first tests look at v rounded to double: below the double just under the limit, v is
// below the limit; a finite double comes from a finite v.
[[gnu::always_inline]] inline long double FinishedResult(long double v, bool limit) {
  const double rounded = std::fabs(ops::RoundedForTest(v));
  if (limit) {
    if (rounded < finished_result_detail::kBelowResultLimit) return v;
    if (!ops::IsFinite(v) || v == UndefinedValue) return UndefinedValue;
    return LimitToSoundRange(v);
  }
  if (rounded <= std::numeric_limits<double>::max()) return v;
  return ops::IsFinite(v) ? v : UndefinedValue;
}
