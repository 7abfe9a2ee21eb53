#include "engine/program_variant.h"

#include <cfloat>

#include "engine/compiled_slots.h"

static_assert(LDBL_MANT_DIG == 64, "long double must be the 80-bit extended type");

long double UndefinedValue = VarteloUndefinedValue;

namespace {
ProgramKind current_program = ProgramKind::Vartelo;
}

void SelectProgram(ProgramKind kind) {
  current_program = kind;
  UndefinedValue = kind == ProgramKind::Vartelo ? VarteloUndefinedValue : QuimbelUndefinedValue;
  DiscardAllCompiledSlots();
}

ProgramKind CurrentProgram() { return current_program; }
