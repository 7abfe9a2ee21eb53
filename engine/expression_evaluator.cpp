#include "engine/expression_evaluator.h"

#include <cmath>

#include "engine/compiled_slots.h"
#include "engine/evaluation_program.h"
#include "engine/node_table_evaluator.h"

namespace {

EvalProgram programs[ExprSlotCount];

// The double just below VarteloResultLimit: a cheaper constant to compare with first.
const double kBelowResultLimit = static_cast<double>(VarteloResultLimit) < VarteloResultLimit
                                     ? static_cast<double>(VarteloResultLimit)
                                     : std::nextafter(static_cast<double>(VarteloResultLimit), 0.0);

long double LimitToSoundRange(long double v) {
  if (v > VarteloResultLimit) return VarteloResultLimit;
  if (v < -VarteloResultLimit) return -VarteloResultLimit;
  return v;
}

// The end of an evaluation: a fault or a non-finite result is undefined, and so is a
// result that is exactly UndefinedValue (the table's readers would take it for one).
// Vartelo limits the others to the sound range.
inline long double FinishedResult(long double v, bool limit) {
  if (limit) {
    if (std::fabs(v) <= kBelowResultLimit) return v;
    if (!ops::IsFinite(v) || v == UndefinedValue) return UndefinedValue;
    return LimitToSoundRange(v);
  }
  return ops::IsFinite(v) ? v : UndefinedValue;
}

}  // namespace

void BuildEvaluationProgram(int slot) {
  if (slot >= 0 && slot < ExprSlotCount) BuildProgram(slot, programs[slot]);
}

void DiscardCompiledSlot(int slot) {
  if (slot >= 0 && slot < ExprSlotCount) programs[slot] = EvalProgram{};
}

void DiscardAllCompiledSlots() {
  for (EvalProgram& program : programs) program = EvalProgram{};
}

long double EvaluateFunction(int slot, double x, double a, double b) {
  if (static_cast<unsigned>(slot) >= static_cast<unsigned>(ExprSlotCount)) return UndefinedValue;
  const EvalProgram& program = programs[slot];
  if (!program.ready) return UndefinedValue;
  if (program.use_node_table) return EvaluateNodeTable(slot, x, a, b);
  EvalContext context{{x, a, b}, 0};
  const long double v = program.root->function(*program.root, context);
  if (context.status != 0) return UndefinedValue;
  return FinishedResult(v, program.limit_to_sound_range);
}

void EvaluateFunctionBlock(int slot, const double* xs, std::size_t n, double a, double b, long double* out) {
  const bool valid = static_cast<unsigned>(slot) < static_cast<unsigned>(ExprSlotCount) && programs[slot].ready;
  if (!valid || programs[slot].use_node_table) {
    for (std::size_t i = 0; i < n; ++i) out[i] = valid ? EvaluateNodeTable(slot, xs[i], a, b) : UndefinedValue;
    return;
  }
  const EvalProgram& program = programs[slot];
  const EvalNode& root = *program.root;
  const EvalFunction function = root.function;
  const bool limit = program.limit_to_sound_range;
  EvalContext context{{0, a, b}, 0};
  for (std::size_t i = 0; i < n; ++i) {
    context.vars[0] = xs[i];
    context.status = 0;
    const long double v = function(root, context);
    out[i] = context.status != 0 ? UndefinedValue : FinishedResult(v, limit);
  }
}

long double EvaluateNodeTable(int slot, double x, double a, double b) {
  if (static_cast<unsigned>(slot) >= static_cast<unsigned>(ExprSlotCount)) return UndefinedValue;
  if (!programs[slot].ready) return UndefinedValue;
  ExprValues[1][slot] = x;
  ExprValues[2][slot] = a;
  ExprValues[3][slot] = b;
  for (int n = ExprNodeCount[slot] - 1; n >= 1; --n) {
    const TExprNode& node = ExprNodes[n][slot];
    const long double l = ExprValues[node.LeftSlot][slot];
    if (l == UndefinedValue) return UndefinedValue;
    long double r = 0;
    if (IsBinaryOp(node.Op)) {
      r = ExprValues[node.RightSlot][slot];
      if (r == UndefinedValue) return UndefinedValue;
    }
    ops::Status status = 0;
    const long double v = ops::ApplyOperation(node.Op, l, r, status);
    if ((status & ops::kFault) || !ops::IsFinite(v)) return UndefinedValue;  // a fault ends it at once
    ExprValues[node.ResultSlot][slot] = status != 0 ? UndefinedValue : v;
  }
  long double& result = ExprValues[0][slot];
  if (result == UndefinedValue) return UndefinedValue;
  if (programs[slot].limit_to_sound_range) result = LimitToSoundRange(result);
  return result;
}
