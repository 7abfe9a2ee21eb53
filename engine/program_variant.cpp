#include "engine/program_variant.h"

#include <cfloat>

#include "engine/compiled_slots.h"
#include "engine/undefined_operand.h"

static_assert(LDBL_MANT_DIG == 64, "long double must be the 80-bit extended type");

long double UndefinedValue = VarteloUndefinedValue;

namespace {

ProgramKind current_program = ProgramKind::Vartelo;

// The evaluators know the starting program's undefined value before any SelectProgram.
struct StartingUndefinedParts {
  StartingUndefinedParts() { undefined_operand::Refresh(UndefinedValue); }
};
[[maybe_unused]] const StartingUndefinedParts starting_undefined_parts;

}  // namespace

void SelectProgram(ProgramKind kind) {
  current_program = kind;
  UndefinedValue = kind == ProgramKind::Vartelo ? VarteloUndefinedValue : QuimbelUndefinedValue;
  undefined_operand::Refresh(UndefinedValue);
  DiscardAllCompiledSlots();
}

ProgramKind CurrentProgram() { return current_program; }
