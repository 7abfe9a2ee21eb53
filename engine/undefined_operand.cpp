#include "engine/undefined_operand.h"

#include "engine/rounded_bounds.h"

namespace undefined_operand {

double high = 0, low = 0, threshold = 0;

void Refresh(long double undefined_value) {
  SplitIntoDoubles(undefined_value, high, low);
  threshold = RoundedDown(undefined_value);
}

}  // namespace undefined_operand
