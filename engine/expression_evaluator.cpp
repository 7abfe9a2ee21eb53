#include "engine/expression_evaluator.h"

#include <algorithm>
#include <cmath>

#include "engine/block_program.h"
#include "engine/compiled_slots.h"
#include "engine/evaluation_program.h"
#include "engine/finished_result.h"
#include "engine/node_table_evaluator.h"

namespace {

EvalProgram programs[ExprSlotCount];
BlockProgram block_programs[ExprSlotCount];

}  // namespace

void BuildEvaluationProgram(int slot) {
  if (slot < 0 || slot >= ExprSlotCount) return;
  BuildProgram(slot, programs[slot]);
  BuildBlockProgram(programs[slot], block_programs[slot]);
}

void DiscardCompiledSlot(int slot) {
  if (slot < 0 || slot >= ExprSlotCount) return;
  block_programs[slot] = BlockProgram{};
  programs[slot] = EvalProgram{};
}

void DiscardAllCompiledSlots() {
  for (int slot = 0; slot < ExprSlotCount; ++slot) DiscardCompiledSlot(slot);
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

namespace {

// One call per point: for the texts without a block form, and the chunks it cannot hold.
void EvaluateEachPoint(int slot, const double* xs, std::size_t n, double a, double b, long double* out) {
  const EvalProgram& program = programs[slot];
  if (program.use_node_table) {
    for (std::size_t i = 0; i < n; ++i) out[i] = EvaluateNodeTable(slot, xs[i], a, b);
    return;
  }
  const EvalNode& root = *program.root;
  EvalContext context{{0, a, b}, 0};
  for (std::size_t i = 0; i < n; ++i) {
    context.vars[0] = xs[i];
    context.status = 0;
    const long double v = root.function(root, context);
    out[i] = context.status != 0 ? UndefinedValue : FinishedResult(v, program.limit_to_sound_range);
  }
}

}  // namespace

void EvaluateFunctionBlock(int slot, const double* xs, std::size_t n, double a, double b, long double* out) {
  if (static_cast<unsigned>(slot) >= static_cast<unsigned>(ExprSlotCount) || !programs[slot].ready) {
    for (std::size_t i = 0; i < n; ++i) out[i] = UndefinedValue;
    return;
  }
  BlockProgram& block = block_programs[slot];
  if (!block.ready) {
    EvaluateEachPoint(slot, xs, n, a, b, out);
    return;
  }
  const bool limit = programs[slot].limit_to_sound_range;
  for (std::size_t start = 0; start < n; start += kBlockChunk) {
    const std::size_t count = std::min(kBlockChunk, n - start);
    if (!RunBlockChunk(block, xs + start, count, a, b, limit, out + start)) {
      EvaluateEachPoint(slot, xs + start, count, a, b, out + start);
    }
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
