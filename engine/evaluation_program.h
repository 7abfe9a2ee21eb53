#pragma once
// The evaluator's own form of a compiled slot: a tree of nodes, each holding a pointer to a
// function specialised for its operation and for where its operands come from (another
// node, a simple node computed inline, a constant, or one of x, a, b). A node returns its
// value in an x87 register, so no intermediate value goes through memory on the common
// paths (10-byte stores and loads are slow, and a load right after its store stalls).
// Constant sub-expressions are folded when the program is built, and a power by a constant
// integer gets its bounds precomputed. Where both operands are called, the cheaper runs
// first, so that the dearer one covers the time the kept result takes to come back from
// memory. The order of evaluation is free because texts that draw random numbers run the
// node table instead.
#include <cstdint>
#include <type_traits>
#include <vector>

#include "engine/constant_integer_power.h"
#include "engine/operation_kernels.h"
#include "engine/undefined_operand.h"

struct EvalNode;

struct EvalContext {
  double vars[3];  // x, a, b
  ops::Status status;
};

using EvalFunction = long double (*)(const EvalNode&, EvalContext&);

// Where an operand comes from. A "leaf" is a node whose own operands are constants or
// variables and whose operation is one of a few simple ones (LeafOp): its parent computes it
// inline instead of calling it, which keeps the parent's other operand in a register.
enum class OperandKind : std::uint8_t { Node, Constant, Variable, Leaf };

enum LeafOp : std::uint8_t { kNotLeaf = 0, kLeafAdd, kLeafMultiply, kLeafDivide, kLeafNegate, kLeafSquare };

// Calls f with the operation of a leaf as a type (std::integral_constant).
template <class F>
decltype(auto) WithLeafOp(LeafOp op, F&& f) {
  switch (op) {
    case kLeafAdd: return f(std::integral_constant<LeafOp, kLeafAdd>{});
    case kLeafMultiply: return f(std::integral_constant<LeafOp, kLeafMultiply>{});
    case kLeafDivide: return f(std::integral_constant<LeafOp, kLeafDivide>{});
    case kLeafNegate: return f(std::integral_constant<LeafOp, kLeafNegate>{});
    default: return f(std::integral_constant<LeafOp, kLeafSquare>{});
  }
}

// The value of a simple piece of a shape known when the program is built, as every
// evaluation computes and notes it: `left` its left operand (a double where it is x, a or b,
// whose square then tests the double itself), `right()` its right one (not read by the
// negation and the square), `power` the square's bounds.
template <LeafOp Op, class Left, class Right>
[[gnu::always_inline]] inline long double SimplePieceValue(Left left, Right right, const ConstantIntegerPower& power,
                                                           ops::Status& s) {
  long double v;
  if constexpr (Op == kLeafNegate) {
    return -static_cast<long double>(left);  // of a variable: a double, never UndefinedValue
  } else if constexpr (Op == kLeafSquare && std::is_same_v<Left, double>) {
    v = power.OfDouble<2>(left, s);
  } else if constexpr (Op == kLeafSquare) {
    v = power.Of<2>(left, s);
  } else if constexpr (Op == kLeafAdd) {
    v = left + right();
  } else if constexpr (Op == kLeafMultiply) {
    v = left * right();
  } else {
    v = ops::Divide::Apply(left, right(), s);
  }
  return undefined_operand::Noted<ops::Add>(v, s);
}

struct EvalNode {
  EvalFunction function = nullptr;
  const EvalNode* left = nullptr;
  const EvalNode* right = nullptr;
  // A constant operand as the exact sum of two doubles (cheaper to load than 10 bytes).
  double left_high = 0, left_low = 0;
  double right_high = 0, right_low = 0;
  long double value = 0;  // the value of a constant node
  long double base_log = 0;  // for a power of a constant positive base: ln of the base
  ConstantIntegerPower power;  // a power by a constant integer (also the square of a leaf)
  std::int16_t op = 0;         // the operation (ExprOp); 0 for a constant node
  bool integer_power = false;  // op is "^" computed by `power`
  std::uint8_t left_variable = 0;
  std::uint8_t right_variable = 0;
  LeafOp leaf = kNotLeaf;
  bool left_is_variable = false;  // for a leaf: the operand is a variable, else a constant
  bool right_is_variable = false;
};

struct EvalProgram;

// The evaluation of a whole program at one point in one call: the function of its root
// (inlined where it is small) and the end of the evaluation around it.
using EvalEntry = long double (*)(const EvalProgram&, double x, double a, double b);

// The entry of a program that is not ready: UndefinedValue everywhere.
long double EvaluateNothing(const EvalProgram&, double x, double a, double b);

// A program that is an affine function of one variable v (or of its square, cube or fourth
// power), built from at most two operations with constants that are doubles:
// (v OP1 c1) OP2 c2, with OP1 + or *, a negation of v or a power of v, OP2 + or * (or none).
// Its entry computes it directly where |v| < `bound`; outside (and where v is not finite) it
// calls `general`, the entry of the root's function.
struct AffineForm {
  double c1 = 0, c2 = 0;
  double bound = 0;
  double floor = 0;  // for a power of v: |v| must lie above it too
  EvalEntry general = nullptr;
};

struct EvalProgram {
  std::vector<EvalNode> nodes;  // index = node number; the root is `root`
  const EvalNode* root = nullptr;
  EvalEntry entry = &EvaluateNothing;  // UndefinedValue, the root's function, or the node table
  AffineForm affine;  // for the affine entry only
  int slot = 0;
  bool limit_to_sound_range = false;
  bool use_node_table = false;  // texts that draw random numbers run the node table itself
  bool ready = false;
};

// The program of slot `slot` built from ExprNodes and ExprValues.
void BuildProgram(int slot, EvalProgram& program);
