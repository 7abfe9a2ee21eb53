#include "engine/affine_entry.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/expression_tables.h"
#include "engine/finished_result.h"
#include "engine/program_variant.h"
#include "engine/rounded_bounds.h"

namespace {

// Square, Cube and Fourth: powers of v by 2, 3 and 4, as the power computes them.
enum class AffineOp : std::uint8_t { None, Add, Multiply, Negate, Square, Cube, Fourth };

constexpr bool IsPower(AffineOp op) { return op == AffineOp::Square || op == AffineOp::Cube || op == AffineOp::Fourth; }

AffineOp AffineOpOf(int op) {
  switch (op) {
    case OpAdd:
    case OpSubtract: return AffineOp::Add;  // the subtrahend is negated already
    case OpMultiply: return AffineOp::Multiply;  // a division by a power of two is one already
    case OpNegate: return AffineOp::Negate;
    default: return AffineOp::None;
  }
}

// The operation as the general evaluation computes it (the constant loads exactly).
template <AffineOp Op>
[[gnu::always_inline]] inline long double Applied(long double v, double c) {
  if constexpr (Op == AffineOp::Add) {
    return v + c;
  } else if constexpr (Op == AffineOp::Multiply) {
    return v * c;
  } else if constexpr (Op == AffineOp::Negate) {
    return -v;
  } else if constexpr (Op == AffineOp::Square) {
    return v * v;  // what the power computes, |v| |v|, bit for bit
  } else if constexpr (Op == AffineOp::Cube) {
    return v * (v * v);  // -(|v| (|v| |v|)) for v < 0: rounding to nearest is symmetric
  } else if constexpr (Op == AffineOp::Fourth) {
    return (v * v) * (v * v);
  } else {
    return v;
  }
}

// For |v| < bound, the piece v OP1 c1 is not UndefinedValue (a power of v is moreover defined
// only for floor < |v| < bound, where the power finds it defined without its exact test), so
// the general evaluation would not end there; nor can the piece or the result leave the
// 80-bit range (products and sums of doubles, and powers below the power's limit, stay far
// inside it), so Quimbel's end of the evaluation keeps the result as it is. Vartelo's limits
// it to the sound range. Elsewhere, and where v is not finite, the general entry decides.
template <int Variable, AffineOp Op1, AffineOp Op2, bool Limit>
long double EvalAffineEntry(const EvalProgram& program, double x, double a, double b) {
  const double v = Variable == 0 ? x : Variable == 1 ? a : b;
  const AffineForm& form = program.affine;
  const double magnitude = std::fabs(v);
  if (!(magnitude < form.bound)) [[unlikely]] return form.general(program, x, a, b);
  if constexpr (IsPower(Op1)) {
    if (!(magnitude > form.floor)) [[unlikely]] return form.general(program, x, a, b);
  }
  const long double result = Applied<Op2>(Applied<Op1>(v, form.c1), form.c2);
  if constexpr (Limit) {
    return FinishedResult(result, true);
  } else {
    return result;
  }
}

template <int Variable, AffineOp Op1, AffineOp Op2>
EvalEntry EntryWithLimit(bool limit) {
  return limit ? &EvalAffineEntry<Variable, Op1, Op2, true> : &EvalAffineEntry<Variable, Op1, Op2, false>;
}

template <int Variable, AffineOp Op1>
EvalEntry EntryWithSecond(AffineOp op2, bool limit) {
  switch (op2) {
    case AffineOp::Add: return EntryWithLimit<Variable, Op1, AffineOp::Add>(limit);
    case AffineOp::Multiply: return EntryWithLimit<Variable, Op1, AffineOp::Multiply>(limit);
    default: return EntryWithLimit<Variable, Op1, AffineOp::None>(limit);
  }
}

template <int Variable>
EvalEntry EntryWithFirst(AffineOp op1, AffineOp op2, bool limit) {
  switch (op1) {
    case AffineOp::Add: return EntryWithSecond<Variable, AffineOp::Add>(op2, limit);
    case AffineOp::Multiply: return EntryWithSecond<Variable, AffineOp::Multiply>(op2, limit);
    case AffineOp::Square: return EntryWithSecond<Variable, AffineOp::Square>(op2, limit);
    case AffineOp::Cube: return EntryWithSecond<Variable, AffineOp::Cube>(op2, limit);
    case AffineOp::Fourth: return EntryWithSecond<Variable, AffineOp::Fourth>(op2, limit);
    default: return EntryWithSecond<Variable, AffineOp::Negate>(op2, limit);
  }
}

EvalEntry AffineEntry(int variable, AffineOp op1, AffineOp op2, bool limit) {
  switch (variable) {
    case 0: return EntryWithFirst<0>(op1, op2, limit);
    case 1: return EntryWithFirst<1>(op1, op2, limit);
    default: return EntryWithFirst<2>(op1, op2, limit);
  }
}

// A constant operand that is one double, as the general evaluation loads it (high + low:
// a -0 loads as +0).
bool DoubleConstant(const EvalNode* child, bool is_variable, double high, double low, double& c) {
  if (child != nullptr || is_variable || low != 0) return false;
  c = static_cast<double>(static_cast<long double>(high) + low);
  return true;
}

// A node that is v OP c (either order), -v, v^2, v^3, v^4 or v*v.
struct VariablePiece {
  int variable = 0;
  AffineOp op = AffineOp::None;
  double c = 0;
  double floor = 0, ceiling = 0;  // for a power of v: where it is surely defined
};

bool AsVariablePiece(const EvalNode& node, VariablePiece& piece) {
  if (node.integer_power) {
    if (node.left != nullptr || !node.left_is_variable) return false;
    switch (node.power.exponent) {
      case 2: piece.op = AffineOp::Square; break;
      case 3: piece.op = AffineOp::Cube; break;
      case 4: piece.op = AffineOp::Fourth; break;
      default: return false;
    }
    piece.variable = node.left_variable;
    piece.floor = node.power.surely_defined_above;
    piece.ceiling = node.power.surely_defined_below;
    return true;
  }
  if (node.op == OpMultiply && node.left == nullptr && node.right == nullptr && node.left_is_variable &&
      node.right_is_variable && node.left_variable == node.right_variable) {
    // v*v: the product the square computes, without the power's bounds.
    piece.op = AffineOp::Square;
    piece.variable = node.left_variable;
    piece.floor = -1;
    piece.ceiling = std::numeric_limits<double>::infinity();
    return true;
  }
  piece.op = AffineOpOf(node.op);
  if (piece.op == AffineOp::None) return false;
  if (piece.op == AffineOp::Negate) {
    piece.variable = node.left_variable;
    return node.left_is_variable;
  }
  if (node.left_is_variable && DoubleConstant(node.right, node.right_is_variable, node.right_high, node.right_low, piece.c)) {
    piece.variable = node.left_variable;
    return true;
  }
  if (node.right_is_variable && DoubleConstant(node.left, node.left_is_variable, node.left_high, node.left_low, piece.c)) {
    piece.variable = node.right_variable;
    return true;
  }
  return false;
}

long double PieceValue(AffineOp op, double v, double c) {
  switch (op) {
    case AffineOp::Add: return Applied<AffineOp::Add>(v, c);
    case AffineOp::Multiply: return Applied<AffineOp::Multiply>(v, c);
    case AffineOp::Square: return Applied<AffineOp::Square>(v, c);
    case AffineOp::Cube: return Applied<AffineOp::Cube>(v, c);
    case AffineOp::Fourth: return Applied<AffineOp::Fourth>(v, c);
    default: return Applied<AffineOp::Negate>(v, c);
  }
}

// Whether the piece at v = m or v = -m is at least UndefinedValue in magnitude. The piece is
// monotonic in v, so this holds for every m above the least one where it holds.
bool Reaches(AffineOp op, double c, double m) {
  return std::fabs(PieceValue(op, m, c)) >= UndefinedValue || std::fabs(PieceValue(op, -m, c)) >= UndefinedValue;
}

double FromBits(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

std::uint64_t BitsOf(double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

// Where the piece reaches UndefinedValue in magnitude, as the inverse operation gives it.
double Estimate(AffineOp op, double c) {
  long double m = UndefinedValue;
  if (op == AffineOp::Add) m = UndefinedValue - std::fabs(static_cast<long double>(c));
  if (op == AffineOp::Multiply) m = UndefinedValue / std::fabs(static_cast<long double>(c));
  if (op == AffineOp::Square) m = std::sqrt(UndefinedValue);
  if (op == AffineOp::Cube) m = std::cbrt(UndefinedValue);
  if (op == AffineOp::Fourth) m = std::sqrt(std::sqrt(UndefinedValue));
  if (!(m > 0)) return 0;
  return m < std::numeric_limits<double>::max() ? static_cast<double>(m) : std::numeric_limits<double>::max();
}

// Non-negative doubles are ordered as their bit patterns: from the estimate, steps doubling
// in length find patterns on either side of the bound, then a bisection between them.
double PieceBound(AffineOp op, double c) {
  if (op == AffineOp::Negate) return RoundedUp(UndefinedValue);  // |-v| >= UndefinedValue
  const double most = std::numeric_limits<double>::max();
  if (!Reaches(op, c, most)) return std::numeric_limits<double>::infinity();
  if (Reaches(op, c, 0)) return 0;
  const auto reaches = [&](std::uint64_t bits) { return Reaches(op, c, FromBits(bits)); };
  const std::uint64_t last = BitsOf(most);
  std::uint64_t below = BitsOf(Estimate(op, c)), at = below;  // reaches(below) is false, reaches(at) true
  if (reaches(at)) {
    for (std::uint64_t step = 1; reaches(below); step *= 2) {
      at = below;
      below = below > step ? below - step : 0;
    }
  } else {
    for (std::uint64_t step = 1; !reaches(at); step *= 2) {
      below = at;
      at = last - at > step ? at + step : last;
    }
  }
  while (at - below > 1) {
    const std::uint64_t middle = below + (at - below) / 2;
    if (reaches(middle)) {
      at = middle;
    } else {
      below = middle;
    }
  }
  return FromBits(at);
}

}  // namespace

double AffinePieceBound(int op, double c) { return PieceBound(AffineOpOf(op), c); }

void PlaceAffineEntry(EvalProgram& program) {
  if (!program.ready || program.use_node_table || program.root == nullptr) return;
  const EvalNode& root = *program.root;
  VariablePiece piece;
  AffineForm form;
  AffineOp second = AffineOp::None;
  if (AsVariablePiece(root, piece)) {
    form.bound = std::numeric_limits<double>::infinity();  // the root's value is not noted
    if (IsPower(piece.op)) form.bound = piece.ceiling;
  } else {
    second = AffineOpOf(root.op);
    if (root.integer_power || (second != AffineOp::Add && second != AffineOp::Multiply)) return;
    const EvalNode* inner = nullptr;
    if (root.left != nullptr &&
        DoubleConstant(root.right, root.right_is_variable, root.right_high, root.right_low, form.c2)) {
      inner = root.left;
    } else if (root.right != nullptr &&
               DoubleConstant(root.left, root.left_is_variable, root.left_high, root.left_low, form.c2)) {
      inner = root.right;
    }
    if (inner == nullptr || !AsVariablePiece(*inner, piece)) return;
    form.bound = PieceBound(piece.op, piece.c);
    if (IsPower(piece.op)) form.bound = std::fmin(form.bound, piece.ceiling);
  }
  form.floor = piece.floor;
  form.c1 = piece.c;
  form.general = program.entry;
  program.affine = form;
  program.entry = AffineEntry(piece.variable, piece.op, second, program.limit_to_sound_range);
}
