#include "engine/evaluation_program.h"

#include <array>
#include <cmath>
#include <type_traits>

#include "engine/finished_result.h"
#include "engine/node_table_evaluator.h"
#include "engine/program_variant.h"
#include "engine/rounded_bounds.h"
#include "engine/undefined_operand.h"

namespace {

using ops::Status;

using undefined_operand::Noted;

// ---- Evaluation -------------------------------------------------------------------------

inline long double Constant(double high, double low) { return static_cast<long double>(high) + low; }

// The operands are read where they are (a double is loaded straight into the x87 stack).
[[gnu::always_inline]] inline long double LeafOperand(bool is_variable, std::uint8_t variable, const double& high,
                                                      const double& low, const EvalContext& c) {
  if (is_variable) return c.vars[variable];
  return static_cast<long double>(high) + low;
}

[[gnu::always_inline]] inline long double LeafValue(const EvalNode& n, EvalContext& c) {
  const long double l = LeafOperand(n.left_is_variable, n.left_variable, n.left_high, n.left_low, c);
  long double v;
  switch (n.leaf) {
    case kLeafAdd:
      v = l + LeafOperand(n.right_is_variable, n.right_variable, n.right_high, n.right_low, c);
      break;
    case kLeafMultiply:
      v = l * LeafOperand(n.right_is_variable, n.right_variable, n.right_high, n.right_low, c);
      break;
    case kLeafDivide:
      v = ops::Divide::Apply(l, LeafOperand(n.right_is_variable, n.right_variable, n.right_high, n.right_low, c),
                             c.status);
      break;
    case kLeafNegate: return -l;  // of a variable: a double, never UndefinedValue
    default: v = n.power.Of<2>(l, c.status); break;
  }
  return Noted<ops::Add>(v, c.status);
}

template <OperandKind Kind>
[[gnu::always_inline]] inline long double Fetch(const EvalNode* child, double high, double low,
                                                std::uint8_t variable, EvalContext& c) {
  if constexpr (Kind == OperandKind::Node) {
    return child->function(*child, c);
  } else if constexpr (Kind == OperandKind::Leaf) {
    return LeafValue(*child, c);
  } else if constexpr (Kind == OperandKind::Constant) {
    return Constant(high, low);
  } else {
    return c.vars[variable];
  }
}

#define FETCH_LEFT(Kind) Fetch<Kind>(n.left, n.left_high, n.left_low, n.left_variable, c)
#define FETCH_RIGHT(Kind) Fetch<Kind>(n.right, n.right_high, n.right_low, n.right_variable, c)

// The value of a node, noted where it equals UndefinedValue. At the root (`Root`) it is not
// noted: the end of the evaluation gives such a result as UndefinedValue all the same.
template <class Kernel, bool Root>
[[gnu::always_inline]] inline long double NotedBelowRoot(long double v, ops::Status& s) {
  if constexpr (Root) {
    return v;
  } else {
    return Noted<Kernel>(v, s);
  }
}

// A called operand is evaluated before the other is loaded or computed, so that nothing
// has to be kept in memory across the call.
template <class Kernel, OperandKind Left, OperandKind Right, bool Root = false>
long double EvalBinary(const EvalNode& n, EvalContext& c) {
  if constexpr (Right == OperandKind::Node && Left != OperandKind::Node) {
    const long double r = FETCH_RIGHT(Right);
    return NotedBelowRoot<Kernel, Root>(Kernel::Apply(FETCH_LEFT(Left), r, c.status), c.status);
  } else {
    const long double l = FETCH_LEFT(Left);
    return NotedBelowRoot<Kernel, Root>(Kernel::Apply(l, FETCH_RIGHT(Right), c.status), c.status);
  }
}

// Both operands called, the right one first.
template <class Kernel, bool Root = false>
long double EvalBinaryRightFirst(const EvalNode& n, EvalContext& c) {
  const long double r = FETCH_RIGHT(OperandKind::Node);
  return NotedBelowRoot<Kernel, Root>(Kernel::Apply(FETCH_LEFT(OperandKind::Node), r, c.status), c.status);
}

template <class Kernel, OperandKind Left, bool Root = false>
long double EvalUnary(const EvalNode& n, EvalContext& c) {
  return NotedBelowRoot<Kernel, Root>(Kernel::Apply(FETCH_LEFT(Left), 0, c.status), c.status);
}

template <OperandKind Left, int Fixed, bool Root = false>
long double EvalIntegerPower(const EvalNode& n, EvalContext& c) {
  if constexpr (Left == OperandKind::Variable) {
    return NotedBelowRoot<ops::Power, Root>(n.power.OfDouble<Fixed>(c.vars[n.left_variable], c.status), c.status);
  } else {
    return NotedBelowRoot<ops::Power, Root>(n.power.Of<Fixed>(FETCH_LEFT(Left), c.status), c.status);
  }
}

// A power of a constant positive base b (2^x, 0,5^(x+1)): the power's own steps, with ln b
// computed once when the program is built.
template <OperandKind Right, bool Root = false>
long double EvalPowerOfConstantBase(const EvalNode& n, EvalContext& c) {
  const long double p = FETCH_RIGHT(Right);
  const long double b = Constant(n.left_high, n.left_low);
  const long double y = p * n.base_log;
  const double rounded_y = ops::RoundedForTest(y);
  long double v;
  if (std::fabs(rounded_y) < 697) {
    v = ops::PositivePower(b, p, y, rounded_y);
  } else {
    v = ops::Power::Apply(b, p, c.status);
  }
  return NotedBelowRoot<ops::Power, Root>(v, c.status);
}

// The value of a leaf whose operation and operand kinds are known when the program is
// built (Square and Negate read their left operand only): LeafValue without its tests.
template <LeafOp Op, OperandKind LeafLeft, OperandKind LeafRight>
[[gnu::always_inline]] inline long double PlainLeafValue(const EvalNode& n, EvalContext& c) {
  const auto right = [&] { return FETCH_RIGHT(LeafRight); };
  if constexpr (LeafLeft == OperandKind::Variable) {
    return SimplePieceValue<Op>(c.vars[n.left_variable], right, n.power, c.status);
  } else {
    return SimplePieceValue<Op>(FETCH_LEFT(LeafLeft), right, n.power, c.status);
  }
}

// A binary node with one leaf operand, of a shape known when the program is built, and one
// constant or variable: 2*x-1, x^2+a, a/(x+1).
template <class Kernel, LeafOp Op, OperandKind LeafLeft, OperandKind LeafRight, OperandKind Other, bool LeafFirst,
          bool Root = false>
long double EvalOnPlainLeaf(const EvalNode& n, EvalContext& c) {
  if constexpr (LeafFirst) {
    const long double l = PlainLeafValue<Op, LeafLeft, LeafRight>(*n.left, c);
    return NotedBelowRoot<Kernel, Root>(Kernel::Apply(l, FETCH_RIGHT(Other), c.status), c.status);
  } else {
    const long double l = FETCH_LEFT(Other);
    return NotedBelowRoot<Kernel, Root>(
        Kernel::Apply(l, PlainLeafValue<Op, LeafLeft, LeafRight>(*n.right, c), c.status), c.status);
  }
}

#undef FETCH_LEFT
#undef FETCH_RIGHT

long double EvalConstant(const EvalNode& n, EvalContext&) { return n.value; }

// ---- Entries --------------------------------------------------------------------------------

// A program whose root runs F, for one point (F is inlined where it is small).
template <EvalFunction F, bool Limit>
[[gnu::flatten]] long double EvalEntryOf(const EvalProgram& program, double x, double a, double b) {
  EvalContext c{{x, a, b}, 0};
  const long double v = F(*program.root, c);
  if (c.status != 0) return UndefinedValue;
  return FinishedResult(v, Limit);
}

// A program that is x, a or b itself: the node's copy without the context around it.
template <int Variable, bool Limit>
long double EvalVariableEntry(const EvalProgram&, double x, double a, double b) {
  return FinishedResult(Variable == 0 ? x : Variable == 1 ? a : b, Limit);
}

long double EvalNodeTableEntry(const EvalProgram& program, double x, double a, double b) {
  return EvaluateNodeTable(program.slot, x, a, b);
}

// A node's function, and the entries of a program whose root it is (without and with
// Vartelo's limit).
struct NodeFunctions {
  EvalFunction function = nullptr;
  EvalEntry entry[2] = {nullptr, nullptr};
};

// RootF: F as the root computes it.
template <EvalFunction F, EvalFunction RootF = F>
NodeFunctions FunctionsOf() {
  return {F, {&EvalEntryOf<RootF, false>, &EvalEntryOf<RootF, true>}};
}

// ---- Choosing the specialised functions ---------------------------------------------------

// Calls f with the operand kind as a type.
template <class F>
NodeFunctions WithKind(OperandKind kind, F&& f) {
  switch (kind) {
    case OperandKind::Node: return f(std::integral_constant<OperandKind, OperandKind::Node>{});
    case OperandKind::Leaf: return f(std::integral_constant<OperandKind, OperandKind::Leaf>{});
    case OperandKind::Constant: return f(std::integral_constant<OperandKind, OperandKind::Constant>{});
    default: return f(std::integral_constant<OperandKind, OperandKind::Variable>{});
  }
}

template <class Kernel>
NodeFunctions Pick(OperandKind left, OperandKind right) {
  return WithKind(left, [&](auto l) -> NodeFunctions {
    if constexpr (ops::kIsBinary<Kernel>) {
      return WithKind(right,
                      [&](auto r) -> NodeFunctions {
                        return FunctionsOf<&EvalBinary<Kernel, l.value, r.value>,
                                           &EvalBinary<Kernel, l.value, r.value, true>>();
                      });
    } else {
      return FunctionsOf<&EvalUnary<Kernel, l.value>, &EvalUnary<Kernel, l.value, true>>();
    }
  });
}

OperandKind PlainKind(bool is_variable) { return is_variable ? OperandKind::Variable : OperandKind::Constant; }

// Calls f with the plain kind (a constant or a variable) as a type.
template <class F>
NodeFunctions WithPlainKind(OperandKind kind, F&& f) {
  if (kind == OperandKind::Variable) return f(std::integral_constant<OperandKind, OperandKind::Variable>{});
  return f(std::integral_constant<OperandKind, OperandKind::Constant>{});
}

// The functions of a binary node on `leaf` and a plain operand of kind `other`.
template <class Kernel>
NodeFunctions PickOnPlainLeaf(const EvalNode& leaf, OperandKind other, bool leaf_first) {
  const bool unary = leaf.leaf == kLeafNegate || leaf.leaf == kLeafSquare;
  const OperandKind leaf_right = unary ? OperandKind::Constant : PlainKind(leaf.right_is_variable);
  return WithLeafOp(leaf.leaf, [&](auto op) -> NodeFunctions {
    return WithPlainKind(PlainKind(leaf.left_is_variable), [&](auto ll) -> NodeFunctions {
      return WithPlainKind(leaf_right, [&](auto lr) -> NodeFunctions {
        return WithPlainKind(other, [&](auto o) -> NodeFunctions {
          if (leaf_first) {
            return FunctionsOf<&EvalOnPlainLeaf<Kernel, op.value, ll.value, lr.value, o.value, true>,
                               &EvalOnPlainLeaf<Kernel, op.value, ll.value, lr.value, o.value, true, true>>();
          }
          return FunctionsOf<&EvalOnPlainLeaf<Kernel, op.value, ll.value, lr.value, o.value, false>,
                             &EvalOnPlainLeaf<Kernel, op.value, ll.value, lr.value, o.value, false, true>>();
        });
      });
    });
  });
}

NodeFunctions PickIntegerPower(OperandKind left, std::int64_t exponent) {
  return WithFixedExponent(exponent, [&](auto fixed) -> NodeFunctions {
    return WithKind(left, [](auto l) -> NodeFunctions {
      return FunctionsOf<&EvalIntegerPower<l.value, decltype(fixed)::value>,
                         &EvalIntegerPower<l.value, decltype(fixed)::value, true>>();
    });
  });
}

struct Operand {
  OperandKind kind = OperandKind::Constant;
  const EvalNode* node = nullptr;
  long double constant = 0;
  double high = 0, low = 0;  // the constant as high + low
  std::uint8_t variable = 0;
};

bool IsInteger32(long double v) { return std::fabs(v) <= 2147483647.0L && xmath::RoundNear(v) == v; }

// Arithmetic 1, the functions computed by a polynomial or an x87 instruction 10.
int OwnCost(int op) {
  switch (op) {
    case OpCopy:
    case OpAdd:
    case OpSubtract:
    case OpMultiply:
    case OpDivide:
    case OpNegate:
    case OpSquare:
    case OpAbs:
    case OpMax:
    case OpMin:
    case OpStep:
      return 1;
    default:
      return 10;
  }
}

LeafOp LeafOpOf(int op) {
  switch (op) {
    case OpAdd:
    case OpSubtract: return kLeafAdd;
    case OpMultiply: return kLeafMultiply;
    case OpDivide: return kLeafDivide;
    case OpNegate: return kLeafNegate;
    default: return kNotLeaf;
  }
}

}  // namespace

long double EvaluateNothing(const EvalProgram&, double, double, double) { return UndefinedValue; }

namespace {

// Builds the program of one slot from its node table in three roles: the check of the
// table (counts and result ids), the resolution of each node's operands (variables,
// constants, folded pieces, other nodes) and the layout of each node (its operands, its
// function, its cost); then the entry of the whole program.
class ProgramBuilder {
 public:
  ProgramBuilder(int slot, EvalProgram& program)
      : slot_(slot), count_(ExprNodeCount[slot]), program_(program) {}

  void Build() {
    program_ = EvalProgram{};
    program_.slot = slot_;
    if (count_ < 1 || count_ > ExprMaxNode + 1) return;
    program_.limit_to_sound_range = CurrentProgram() == ProgramKind::Vartelo;
    for (int n = 1; n < count_; ++n) {
      if (ExprNodes[n][slot_].Op == OpRandom) program_.use_node_table = true;
    }
    program_.nodes.resize(Index(count_));
    EvalNode& constant_root = program_.nodes[0];
    constant_root.function = &EvalConstant;
    if (count_ == 1) {
      constant_root.value = ExprValues[0][slot_];
      Finish(constant_root, constant_);
      return;
    }
    if (!MapProducers()) return;
    root_ = producer_[0];
    folded_.assign(Index(count_), false);
    subtree_cost_.assign(Index(count_), 1);
    for (int n = count_ - 1; n >= 1; --n) {
      if (!LayOutNode(n)) return;  // the slot stays undefined
    }
    if (root_ < 1) return;
    if (undefined_operand_) {
      constant_root.value = UndefinedValue;
      Finish(constant_root, constant_);
    } else {
      Finish(program_.nodes[Index(root_)], root_functions_);
    }
  }

 private:
  static std::size_t Index(int n) { return static_cast<std::size_t>(n); }

  // The check: which node produces each value id; false when a node names an id out of
  // range.
  bool MapProducers() {
    producer_.fill(-1);
    for (int n = 1; n < count_; ++n) {
      const int id = ExprNodes[n][slot_].ResultSlot;
      if (id < 0 || id > ExprMaxValueId) return false;
      producer_[Index(id)] = static_cast<std::int16_t>(n);
    }
    return true;
  }

  // The rough cost of evaluating each subtree: where both operands are called, the cheaper
  // runs first, so that the dearer one covers the time its parked result takes to come
  // back from memory.
  int CostOf(const Operand& operand) const {
    return operand.node ? subtree_cost_[Index(static_cast<int>(operand.node - program_.nodes.data()))] : 0;
  }

  // The resolution of value id `id` as an operand. A constant operand equal to
  // UndefinedValue (a number of the text, or a folded piece) makes every evaluation
  // undefined, as the node table would find it at each one.
  bool Resolve(int id, Operand& out) {
    if (id < 0 || id > ExprMaxValueId) return false;
    if (id >= 1 && id <= 3) {
      out.kind = OperandKind::Variable;
      out.variable = static_cast<std::uint8_t>(id - 1);
      return true;
    }
    const int m = producer_[Index(id)];
    if (m >= 0 && !folded_[Index(m)]) {
      out.node = &program_.nodes[Index(m)];
      out.kind = out.node->leaf != kNotLeaf ? OperandKind::Leaf : OperandKind::Node;
      return true;
    }
    out.constant = m < 0 ? ExprValues[id][slot_] : program_.nodes[Index(m)].value;
    if (out.constant == UndefinedValue) undefined_operand_ = true;
    if (SplitIntoDoubles(out.constant, out.high, out.low)) {
      out.kind = OperandKind::Constant;
    } else if (m >= 0) {
      out.kind = OperandKind::Node;  // a folded value beyond the double range: its constant node
      out.node = &program_.nodes[Index(m)];
    } else {
      return false;  // the compiler's constants are all within the double range
    }
    return true;
  }

  // The layout of node n: its operands, then a folded constant, an integer power or the
  // kernel of its operation. False for an operand or an operation the program cannot have.
  bool LayOutNode(int n) {
    const TExprNode& source = ExprNodes[n][slot_];
    EvalNode& node = program_.nodes[Index(n)];
    const bool binary = IsBinaryOp(source.Op);
    node.op = source.Op;
    Operand left, right;
    if (!Resolve(source.LeftSlot, left)) return false;
    if (binary && !Resolve(source.RightSlot, right)) return false;
    node.left = left.node;
    node.left_high = left.high;
    node.left_low = left.low;
    node.left_variable = left.variable;
    node.left_is_variable = left.kind == OperandKind::Variable;
    node.right = right.node;
    node.right_high = right.high;
    node.right_low = right.low;
    node.right_variable = right.variable;
    node.right_is_variable = right.kind == OperandKind::Variable;
    subtree_cost_[Index(n)] = OwnCost(source.Op) + CostOf(left) + (binary ? CostOf(right) : 0);
    if (FoldConstant(n, source, left, right, binary)) return true;
    if (PlaceIntegerPower(n, source, left, right)) return true;
    if (source.Op == OpDivide) MultiplyByExactReciprocal(node, right);
    return PickKernel(n, node.op, left, right, binary);
  }

  // A division by a power of two becomes the product by its reciprocal, which is exact: both
  // round the same quotient, and neither meets a zero or infinite divisor. A product is
  // cheaper, and has more specialised forms.
  static void MultiplyByExactReciprocal(EvalNode& node, Operand& right) {
    if (right.kind != OperandKind::Constant || right.low != 0 || right.high == 0) return;
    int exponent = 0;
    if (std::fabs(std::frexp(right.high, &exponent)) != 0.5) return;  // not a power of two (nor infinite)
    const double reciprocal = 1 / right.high;
    if (!std::isfinite(reciprocal) || reciprocal * right.high != 1) return;
    node.op = OpMultiply;
    right.constant = reciprocal;
    right.high = reciprocal;
    node.right_high = reciprocal;
  }

  // A node whose operands are all constants becomes the constant it computes (not a
  // random draw, nor a value that faults or is not finite).
  bool FoldConstant(int n, const TExprNode& source, const Operand& left, const Operand& right, bool binary) {
    if (left.kind != OperandKind::Constant || (binary && right.kind != OperandKind::Constant) ||
        source.Op == OpRandom)
      return false;
    Status status = 0;
    const long double v = ops::ApplyOperation(source.Op, left.constant, right.constant, status);
    if (status != 0 || !ops::IsFinite(v)) return false;
    EvalNode& node = program_.nodes[Index(n)];
    SetFunction(n, constant_);
    node.op = 0;
    node.value = v;
    folded_[Index(n)] = true;
    return true;
  }

  // A power with a constant 32-bit integer exponent.
  bool PlaceIntegerPower(int n, const TExprNode& source, const Operand& left, const Operand& right) {
    if (source.Op != OpPower || right.kind != OperandKind::Constant || !IsInteger32(right.constant)) return false;
    EvalNode& node = program_.nodes[Index(n)];
    const std::int64_t exponent = xmath::IntegralToInt64(right.constant);
    SetFunction(n, PickIntegerPower(left.kind, exponent));
    node.power.SetExponent(exponent);
    node.integer_power = true;
    if (exponent == 2 && IsPlain(left)) node.leaf = kLeafSquare;
    subtree_cost_[Index(n)] = 2 + CostOf(left);
    return true;
  }

  // The kernel of the node's operation for the kinds of its operands; false for an
  // operation outside the table.
  bool PickKernel(int n, int op, const Operand& left, const Operand& right, bool binary) {
    const bool right_first = left.kind == OperandKind::Node && binary && right.kind == OperandKind::Node &&
                             CostOf(right) < CostOf(left);
    NodeFunctions picked;
    if (!ops::VisitOperation(op, [&](auto kernel) {
          using Kernel = decltype(kernel);
          if constexpr (ops::kIsBinary<Kernel>) {
            if (right_first) {
              picked = FunctionsOf<&EvalBinaryRightFirst<Kernel>, &EvalBinaryRightFirst<Kernel, true>>();
              return;
            }
          }
          picked = Pick<Kernel>(left.kind, right.kind);
          if constexpr (std::is_same_v<Kernel, ops::Add> || std::is_same_v<Kernel, ops::Multiply> ||
                        std::is_same_v<Kernel, ops::Divide>) {
            if (left.kind == OperandKind::Leaf && IsPlain(right)) {
              picked = PickOnPlainLeaf<Kernel>(*left.node, right.kind, true);
            } else if (right.kind == OperandKind::Leaf && IsPlain(left)) {
              picked = PickOnPlainLeaf<Kernel>(*right.node, left.kind, false);
            }
          }
        })) {
      return false;
    }
    if (op == OpCopy && left.kind == OperandKind::Variable) picked = CopyOfVariable(picked, left.variable);
    EvalNode& node = program_.nodes[Index(n)];
    if (op == OpPower && left.kind == OperandKind::Constant) {
      const long double base = Constant(left.high, left.low);
      if (ops::RoundedForTest(base) > 0) {  // the power's own test for its first steps
        node.base_log = xmath::Ln(base);
        picked = WithKind(right.kind, [](auto r) -> NodeFunctions {
          return FunctionsOf<&EvalPowerOfConstantBase<r.value>, &EvalPowerOfConstantBase<r.value, true>>();
        });
      }
    }
    SetFunction(n, picked);
    if (IsPlain(left) && (!binary || IsPlain(right))) node.leaf = LeafOpOf(op);
    return true;
  }

  // The copy of a variable, with the entries of a program that is nothing else.
  static NodeFunctions CopyOfVariable(const NodeFunctions& copy, std::uint8_t variable) {
    switch (variable) {
      case 0: return {copy.function, {&EvalVariableEntry<0, false>, &EvalVariableEntry<0, true>}};
      case 1: return {copy.function, {&EvalVariableEntry<1, false>, &EvalVariableEntry<1, true>}};
      default: return {copy.function, {&EvalVariableEntry<2, false>, &EvalVariableEntry<2, true>}};
    }
  }

  // Node n runs `functions`; the root's entries become the program's entry.
  void SetFunction(int n, const NodeFunctions& functions) {
    program_.nodes[Index(n)].function = functions.function;
    if (n == root_) root_functions_ = functions;
  }

  static bool IsPlain(const Operand& operand) {
    return operand.kind == OperandKind::Constant || operand.kind == OperandKind::Variable;
  }

  void Finish(const EvalNode& root, const NodeFunctions& root_functions) {
    program_.root = &root;
    program_.entry =
        program_.use_node_table ? &EvalNodeTableEntry : root_functions.entry[program_.limit_to_sound_range];
    program_.ready = true;
  }

  const int slot_;
  const int count_;
  EvalProgram& program_;
  std::array<std::int16_t, ExprMaxValueId + 1> producer_;  // filled by MapProducers
  std::vector<bool> folded_;
  std::vector<int> subtree_cost_;
  int root_ = -1;  // the node that produces the result, or -1
  NodeFunctions root_functions_;
  bool undefined_operand_ = false;
  const NodeFunctions constant_ = FunctionsOf<&EvalConstant>();
};

}  // namespace

void BuildProgram(int slot, EvalProgram& program) { ProgramBuilder(slot, program).Build(); }
