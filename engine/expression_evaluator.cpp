#include "engine/expression_evaluator.h"

#include <algorithm>
#include <cmath>

#include "engine/affine_entry.h"
#include "engine/block_program.h"
#include "engine/bounded_program.h"
#include "engine/compiled_slots.h"
#include "engine/evaluation_program.h"
#include "engine/finished_result.h"
#include "engine/node_table_evaluator.h"
#include "engine/vector_state.h"

namespace {

EvalProgram programs[ExprSlotCount];
BlockProgram block_programs[ExprSlotCount];
BoundedProgram bounded_programs[ExprSlotCount];

}  // namespace

void BuildEvaluationProgram(int slot) {
  if (slot < 0 || slot >= ExprSlotCount) return;
  BuildProgram(slot, programs[slot]);
  PlaceAffineEntry(programs[slot]);
  BuildBlockProgram(programs[slot], block_programs[slot]);
  BuildBoundedProgram(block_programs[slot], bounded_programs[slot]);
}

void DiscardCompiledSlot(int slot) {
  if (slot < 0 || slot >= ExprSlotCount) return;
  bounded_programs[slot] = BoundedProgram{};
  block_programs[slot] = BlockProgram{};
  programs[slot] = EvalProgram{};
}

void DiscardAllCompiledSlots() {
  for (int slot = 0; slot < ExprSlotCount; ++slot) DiscardCompiledSlot(slot);
}

long double EvaluateFunction(int slot, double x, double a, double b) {
  if (static_cast<unsigned>(slot) >= static_cast<unsigned>(ExprSlotCount)) return UndefinedValue;
  const EvalProgram& program = programs[slot];
  return program.entry(program, x, a, b);
}

namespace {

// One call per point: for the texts without a block form, and the chunks it cannot hold.
void EvaluateEachPoint(const EvalProgram& program, const double* xs, std::size_t n, double a, double b,
                       long double* out) {
  for (std::size_t i = 0; i < n; ++i) out[i] = program.entry(program, xs[i], a, b);
}

}  // namespace

void EvaluateFunctionBlock(int slot, const double* xs, std::size_t n, double a, double b, long double* out) {
  if (static_cast<unsigned>(slot) >= static_cast<unsigned>(ExprSlotCount)) {
    for (std::size_t i = 0; i < n; ++i) out[i] = UndefinedValue;
    return;
  }
  const EvalProgram& program = programs[slot];
  BlockProgram& block = block_programs[slot];
  if (!block.ready) {
    EvaluateEachPoint(program, xs, n, a, b, out);
    return;
  }
  const bool limit = program.limit_to_sound_range;
  for (std::size_t start = 0; start < n; start += block.chunk) {
    const std::size_t count = std::min(block.chunk, n - start);
    if (!RunBlockChunk(block, xs + start, count, a, b, limit, out + start)) {
      EvaluateEachPoint(program, xs + start, count, a, b, out + start);
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

bool EvaluateFunctionBlockBounded(int slot, const double* xs, std::size_t n, double a, double b, double* values,
                                  double* bounds) {
  ClearUpperVectorHalves();  // also for the caller's own double arithmetic after a false
  if (static_cast<unsigned>(slot) >= static_cast<unsigned>(ExprSlotCount)) return false;
  BoundedProgram& bounded = bounded_programs[slot];
  if (!bounded.ready) return false;
  const bool limit = programs[slot].limit_to_sound_range;
  for (std::size_t start = 0; start < n; start += kBoundedChunk) {
    const std::size_t count = std::min(kBoundedChunk, n - start);
    RunBoundedChunk(bounded, xs + start, count, a, b, limit, values + start, bounds + start);
  }
  return true;
}

bool FunctionDrawsRandomNumbers(int slot) {
  if (static_cast<unsigned>(slot) >= static_cast<unsigned>(ExprSlotCount)) return false;
  return programs[slot].use_node_table;
}
