#include "engine/undefined_operand.h"

#include "engine/program_variant.h"
#include "engine/rounded_bounds.h"

namespace undefined_operand {

double high = 0, low = 0, threshold = 0;

void Refresh() {
  SplitIntoDoubles(UndefinedValue, high, low);
  threshold = RoundedDown(UndefinedValue);
}

}  // namespace undefined_operand
