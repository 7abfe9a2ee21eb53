#include "engine/block_program.h"

#include <bit>
#include <cfenv>
#include <cstring>
#include <type_traits>

#include "engine/finished_result.h"
#include "engine/rounded_bounds.h"
#include "engine/undefined_operand.h"

struct BlockRun {
  const double* xs;
  std::size_t count;
  double vars[3];  // a and b at 1 and 2
  double* columns;
  long double* out;
  bool limit;
  ops::Status status[kColumnlessChunk];
};

namespace {

using ops::Status;

// ---- Exactness of the stored values -------------------------------------------------------

// The flags of invalid operation, overflow and underflow, cleared before a chunk: raised
// after it, they tell that some value was not stored exactly (or that a kernel met an
// infinity, a NaN or an 80-bit underflow; the chunk then goes point by point as well).
// The precision flag is raised again at once by an inexact division (volatile, so that it
// is made each time): left clear, it slows every later x87 store that could raise it, by
// half for a text as simple as x.
#if defined(__x86_64__) || defined(__i386__)
volatile long double three = 3, third;
inline void ClearStoreFlags() {
  asm volatile("fnclex" ::: "memory");
  third = 1 / three;
}
inline bool StoreFlagsRaised() {
  std::uint16_t word;
  asm volatile("fnstsw %0" : "=am"(word)::"memory");
  return (word & 0x19) != 0;  // invalid, overflow, underflow
}
#else
inline void ClearStoreFlags() { std::feclearexcept(FE_INVALID | FE_OVERFLOW | FE_UNDERFLOW); }
inline bool StoreFlagsRaised() { return std::fetestexcept(FE_INVALID | FE_OVERFLOW | FE_UNDERFLOW) != 0; }
#endif

// Stores v as its double h and h - v. Both stores are exact but where h overflows (the
// overflow flag), where h - v is too small for a double (underflow) and for an infinity,
// whose h - v is NaN (invalid).
[[gnu::always_inline]] inline void StoreSplit(long double v, double& high, double& difference) {
#if defined(__x86_64__) || defined(__i386__)
  asm("fstl %0\n\tfsubrl %0\n\tfstpl %1" : "=m"(high), "=m"(difference) : "t"(v) : "st");
#else
  high = static_cast<double>(v);
  difference = static_cast<double>(high - v);
#endif
}

// ---- Reading and writing columns ----------------------------------------------------------

double* Highs(BlockRun& run, std::uint16_t column) { return run.columns + 2 * kBlockChunk * column; }

template <ColumnSource Source>
struct Reader {
  const double* high = nullptr;
  const double* difference = nullptr;
  double fixed_high = 0, fixed_low = 0;

  Reader(const BlockOperand& operand, BlockRun& run) {
    if constexpr (Source == ColumnSource::Column) {
      high = Highs(run, operand.column);
      difference = high + kBlockChunk;
    } else if constexpr (Source == ColumnSource::X) {
      high = run.xs;
    } else {
      // a or b plus -0, which keeps the sign of a zero; a constant as the evaluator adds it.
      fixed_high = operand.variable != 0 ? run.vars[operand.variable] : operand.high;
      fixed_low = operand.variable != 0 ? -0.0 : operand.low;
    }
  }

  [[gnu::always_inline]] long double operator()(std::size_t i) const {
    if constexpr (Source == ColumnSource::Column) {
      return static_cast<long double>(high[i]) - difference[i];
    } else if constexpr (Source == ColumnSource::X) {
      return high[i];
    } else {
      return static_cast<long double>(fixed_high) + fixed_low;
    }
  }
};

// After a column was written with some high part equal to UndefinedValue's: the points
// whose value is exactly UndefinedValue become undefined.
[[gnu::noinline]] void NoteUndefinedValues(const double* high, BlockRun& run) {
  const double* difference = high + kBlockChunk;
  for (std::size_t i = 0; i < run.count; ++i) {
    if (undefined_operand::Equals(static_cast<long double>(high[i]) - difference[i])) {
      run.status[i] |= ops::kUndefined;
    }
  }
}

// Where a step's values go: its column, the results, or the results when each value is
// exactly a double (a copy, negation, absolute value, max, min, integral or fractional part
// or u of doubles): those are written by integer stores, several times cheaper than the x87
// store of 10 bytes.
enum class Output { Column, Result, DoubleResult };

template <class Kernel>
inline constexpr bool kKeepsDoubles = false;
template <> inline constexpr bool kKeepsDoubles<ops::Copy> = true;
template <> inline constexpr bool kKeepsDoubles<ops::Negate> = true;
template <> inline constexpr bool kKeepsDoubles<ops::Abs> = true;
template <> inline constexpr bool kKeepsDoubles<ops::Max> = true;
template <> inline constexpr bool kKeepsDoubles<ops::Min> = true;
template <> inline constexpr bool kKeepsDoubles<ops::Ent> = true;
template <> inline constexpr bool kKeepsDoubles<ops::Int> = true;
template <> inline constexpr bool kKeepsDoubles<ops::FracPart> = true;
template <> inline constexpr bool kKeepsDoubles<ops::Step> = true;

// Kernels that never set a status: at the root on doubles (whose status starts clear) the
// status need not be read.
template <class Kernel>
inline constexpr bool kLeavesStatus = false;
template <> inline constexpr bool kLeavesStatus<ops::Copy> = true;
template <> inline constexpr bool kLeavesStatus<ops::Negate> = true;
template <> inline constexpr bool kLeavesStatus<ops::Abs> = true;
template <> inline constexpr bool kLeavesStatus<ops::FracPart> = true;

// The sign and exponent field of the 80-bit form of a normal double, by the double's sign
// and exponent field (its top 12 bits); 0 where the double is not normal (a zero, a
// subnormal, an infinity or NaN), which no normal 80-bit value has.
struct ExtendedExponents {
  std::uint16_t of[4096];
};
inline constexpr ExtendedExponents kExtendedExponents = [] {
  ExtendedExponents table{};
  for (unsigned top = 0; top < 4096; ++top) {
    const unsigned exponent = top & 0x7ff, sign = top >> 11;
    table.of[top] =
        exponent == 0 || exponent == 0x7ff ? 0 : static_cast<std::uint16_t>((sign << 15) | (exponent + 16383 - 1023));
  }
  return table;
}();

// The 80-bit form of a normal double d, written as integers; the others (zeros too), the
// undefined points, and in Vartelo values beyond the sound range, as the evaluator finishes
// them. One test decides, so that the usual case runs without a jump.
template <bool Limit>
[[gnu::always_inline]] inline void WriteDoubleResult(double d, Status status, long double* out) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(d);
  const std::uint16_t exponent = kExtendedExponents.of[bits >> 52];
  bool written_as_integers = (exponent != 0) & (status == 0);
  if constexpr (Limit) written_as_integers &= std::fabs(d) < finished_result_detail::kBelowResultLimit;
  if (written_as_integers) [[likely]] {
    // The fraction below the explicit integer bit (the exponent's last bit, shifted to the
    // top, is replaced by it).
    const std::uint64_t mantissa = (bits << 11) | (std::uint64_t{1} << 63);
    std::memcpy(out, &mantissa, 8);
    std::memcpy(reinterpret_cast<unsigned char*>(out) + 8, &exponent, 2);
  } else {
    *out = status != 0 ? UndefinedValue : FinishedResult(d, Limit);
  }
}

// The loop of every step: value(i) at each point i of the chunk, into the step's column or,
// at the root, finished into the results.
template <Output To, bool SetsStatus = true, class Value>
[[gnu::always_inline]] inline void ForEachPoint(const BlockStep& step, BlockRun& run, Value value) {
  const std::size_t count = run.count;
  if constexpr (To == Output::DoubleResult) {
    long double* out = run.out;
    const auto write_all = [&](auto limit) {
      for (std::size_t i = 0; i < count; ++i) {
        const double v = static_cast<double>(value(i));  // before the status, which it may set
        WriteDoubleResult<decltype(limit)::value>(v, SetsStatus ? run.status[i] : 0, out + i);
      }
    };
    if (run.limit) {
      write_all(std::true_type{});
    } else {
      write_all(std::false_type{});
    }
  } else if constexpr (To == Output::Result) {
    long double* out = run.out;
    const bool limit = run.limit;
    for (std::size_t i = 0; i < count; ++i) {
      const long double v = value(i);
      out[i] = run.status[i] != 0 ? UndefinedValue : FinishedResult(v, limit);
    }
  } else {
    double* high = Highs(run, step.column);
    double* difference = high + kBlockChunk;
    const std::uint64_t undefined_bits = std::bit_cast<std::uint64_t>(undefined_operand::high);
    bool candidate = false;
    for (std::size_t i = 0; i < count; ++i) {
      StoreSplit(value(i), high[i], difference[i]);
      candidate |= std::bit_cast<std::uint64_t>(high[i]) == undefined_bits;
    }
    if (candidate) [[unlikely]] NoteUndefinedValues(high, run);
  }
}

// ---- Steps ----------------------------------------------------------------------------------

template <class Kernel, ColumnSource Left, ColumnSource Right, Output To>
void StepBinary(const BlockStep& step, BlockRun& run) {
  const Reader<Left> left(step.left, run);
  const Reader<Right> right(step.right, run);
  ForEachPoint<To, !kLeavesStatus<Kernel>>(step, run,
                                           [&](std::size_t i) { return Kernel::Apply(left(i), right(i), run.status[i]); });
}

template <class Kernel, ColumnSource Left, Output To>
void StepUnary(const BlockStep& step, BlockRun& run) {
  const Reader<Left> left(step.left, run);
  ForEachPoint<To, !kLeavesStatus<Kernel>>(step, run,
                                           [&](std::size_t i) { return Kernel::Apply(left(i), 0, run.status[i]); });
}

template <ColumnSource Left, int Fixed, Output To>
void StepIntegerPower(const BlockStep& step, BlockRun& run) {
  const Reader<Left> left(step.left, run);
  const ConstantIntegerPower& power = step.node->power;
  if constexpr (Left == ColumnSource::X) {
    const double* xs = run.xs;
    ForEachPoint<To>(step, run, [&](std::size_t i) { return power.OfDouble<Fixed>(xs[i], run.status[i]); });
  } else {
    ForEachPoint<To>(step, run, [&](std::size_t i) { return power.Of<Fixed>(left(i), run.status[i]); });
  }
}

// The root on a simple piece and a plain operand (3*x+2, 1-x, x^2+a, a/(x+1)) in one step:
// the piece at each point as the per-point evaluation computes and notes it, then the root's
// kernel on it and the other operand.
template <LeafOp Op, ColumnSource Left, ColumnSource Right>
[[gnu::always_inline]] inline long double PieceValue(const Reader<Left>& left, const Reader<Right>& right,
                                                     const ConstantIntegerPower& power, std::size_t i, Status& s) {
  const auto right_value = [&] { return right(i); };
  if constexpr (Left == ColumnSource::X) {
    return SimplePieceValue<Op>(left.high[i], right_value, power, s);
  } else {
    return SimplePieceValue<Op>(left(i), right_value, power, s);
  }
}

template <class Kernel, LeafOp Op, ColumnSource PieceLeft, ColumnSource PieceRight, ColumnSource Beside,
          bool PieceFirst>
void StepOnPiece(const BlockStep& step, BlockRun& run) {
  const Reader<PieceLeft> piece_left(step.left, run);
  const Reader<PieceRight> piece_right(step.right, run);
  const Reader<Beside> beside(step.beside, run);
  const ConstantIntegerPower& power = step.node->power;
  ForEachPoint<Output::Result>(step, run, [&](std::size_t i) {
    Status& s = run.status[i];
    const long double piece = PieceValue<Op>(piece_left, piece_right, power, i, s);
    if constexpr (PieceFirst) {
      return Kernel::Apply(piece, beside(i), s);
    } else {
      return Kernel::Apply(beside(i), piece, s);
    }
  });
}

// ---- Choosing the specialised functions -----------------------------------------------------

template <class F>
BlockFunction WithSource(ColumnSource source, F&& f) {
  switch (source) {
    case ColumnSource::Column: return f(std::integral_constant<ColumnSource, ColumnSource::Column>{});
    case ColumnSource::X: return f(std::integral_constant<ColumnSource, ColumnSource::X>{});
    default: return f(std::integral_constant<ColumnSource, ColumnSource::Fixed>{});
  }
}

// An operand that is exactly a double: x, a, b, or a constant without a low part.
bool IsDouble(const BlockOperand& operand) {
  return operand.source == ColumnSource::X ||
         (operand.source == ColumnSource::Fixed && (operand.variable != 0 || operand.low == 0));
}

template <Output To>
BlockFunction PickStep(const EvalNode& node, const BlockOperand& left, const BlockOperand& right) {
  if (node.integer_power) {
    if constexpr (To == Output::DoubleResult) {
      return nullptr;
    } else {
      return WithFixedExponent(node.power.exponent, [&](auto fixed) -> BlockFunction {
        return WithSource(left.source, [](auto l) -> BlockFunction {
          return &StepIntegerPower<l.value, decltype(fixed)::value, To>;
        });
      });
    }
  }
  BlockFunction function = nullptr;
  ops::VisitOperation(node.op, [&](auto kernel) {
    using Kernel = decltype(kernel);
    if constexpr (To != Output::DoubleResult || kKeepsDoubles<Kernel>) {
      function = WithSource(left.source, [&](auto l) -> BlockFunction {
        if constexpr (ops::kIsBinary<Kernel>) {
          return WithSource(right.source,
                            [&](auto r) -> BlockFunction { return &StepBinary<Kernel, l.value, r.value, To>; });
        } else {
          return &StepUnary<Kernel, l.value, To>;
        }
      });
    }
  });
  return function;
}

// The function of a step: for the root, the one writing doubles by integers when its
// operation keeps doubles and its operands are doubles.
BlockFunction PickStep(const EvalNode& node, const BlockOperand& left, const BlockOperand& right, bool root) {
  if (!root) return PickStep<Output::Column>(node, left, right);
  const bool binary = IsBinaryOp(node.op) && !node.integer_power;
  if (IsDouble(left) && (!binary || IsDouble(right))) {
    if (const BlockFunction function = PickStep<Output::DoubleResult>(node, left, right)) return function;
  }
  return PickStep<Output::Result>(node, left, right);
}

// A plain source: x, or a value fixed for the row.
template <class F>
BlockFunction WithPlainSource(ColumnSource source, F&& f) {
  if (source == ColumnSource::X) return f(std::integral_constant<ColumnSource, ColumnSource::X>{});
  return f(std::integral_constant<ColumnSource, ColumnSource::Fixed>{});
}

template <class Kernel>
BlockFunction PickStepOnPiece(LeafOp op, const BlockStep& step, bool piece_first) {
  return WithLeafOp(op, [&](auto o) -> BlockFunction {
    return WithPlainSource(step.left.source, [&](auto l) -> BlockFunction {
      return WithPlainSource(step.right.source, [&](auto r) -> BlockFunction {
        return WithPlainSource(step.beside.source, [&](auto b) -> BlockFunction {
          if (piece_first) return &StepOnPiece<Kernel, o.value, l.value, r.value, b.value, true>;
          return &StepOnPiece<Kernel, o.value, l.value, r.value, b.value, false>;
        });
      });
    });
  });
}

// Lays out the steps of a program in an order where every operand is computed before it is
// read, giving each step a column that is free again once its parent has read it.
class BlockBuilder {
 public:
  explicit BlockBuilder(BlockProgram& block) : block_(block) {}

  // The root alone on a simple piece and a plain operand, in either order.
  bool PlaceRootOnPiece(const EvalNode& root) {
    if (root.integer_power || (root.op != OpAdd && root.op != OpSubtract && root.op != OpMultiply &&
                               root.op != OpDivide)) {
      return false;
    }
    const bool piece_first = IsPiece(root.left) && IsPlain(root.right);
    if (!piece_first && !(IsPiece(root.right) && IsPlain(root.left))) return false;
    const EvalNode& piece = piece_first ? *root.left : *root.right;
    BlockStep step;
    step.node = &piece;
    PlainOperand(piece.left_is_variable, piece.left_variable, piece.left_high, piece.left_low, step.left);
    if (piece.leaf != kLeafNegate && piece.leaf != kLeafSquare) {
      PlainOperand(piece.right_is_variable, piece.right_variable, piece.right_high, piece.right_low, step.right);
    }
    if (piece_first) {
      PlainOperand(root.right_is_variable, root.right_variable, root.right_high, root.right_low, step.beside);
    } else {
      PlainOperand(root.left_is_variable, root.left_variable, root.left_high, root.left_low, step.beside);
    }
    ops::VisitOperation(root.op, [&](auto kernel) {
      using Kernel = decltype(kernel);
      if constexpr (std::is_same_v<Kernel, ops::Add> || std::is_same_v<Kernel, ops::Multiply> ||
                    std::is_same_v<Kernel, ops::Divide>) {
        step.function = PickStepOnPiece<Kernel>(piece.leaf, step, piece_first);
      }
    });
    if (step.function == nullptr) return false;
    block_.root_on_piece = step;
    return true;
  }

  // Emits the steps of the subtree of `node`; false where the block form cannot hold it.
  bool Emit(const EvalNode& node, bool root, std::uint16_t& column) {
    BlockStep step;
    step.node = &node;
    const bool binary = IsBinaryOp(node.op) && !node.integer_power;
    if (!Operand(node.left, node.left_is_variable, node.left_variable, node.left_high, node.left_low, step.left)) {
      return false;
    }
    if (binary && !Operand(node.right, node.right_is_variable, node.right_variable, node.right_high,
                           node.right_low, step.right)) {
      return false;
    }
    if (step.left.source == ColumnSource::Column) free_.push_back(step.left.column);
    if (binary && step.right.source == ColumnSource::Column) free_.push_back(step.right.column);
    if (!root) column = TakeColumn();
    step.column = column;
    step.function = PickStep(node, step.left, step.right, root);
    if (step.function == nullptr) return false;
    block_.steps.push_back(step);
    return true;
  }

  std::uint16_t Columns() const { return columns_; }

 private:
  static bool IsPiece(const EvalNode* child) { return child != nullptr && child->leaf != kNotLeaf; }
  static bool IsPlain(const EvalNode* child) { return child == nullptr; }  // x, a, b or a constant

  static void PlainOperand(bool is_variable, std::uint8_t variable, double high, double low, BlockOperand& out) {
    out.source = ColumnSource::Fixed;
    if (!is_variable) {
      out.high = high;
      out.low = low;
    } else if (variable == 0) {
      out.source = ColumnSource::X;
    } else {
      out.variable = variable;
    }
  }

  bool Operand(const EvalNode* child, bool is_variable, std::uint8_t variable, double high, double low,
               BlockOperand& out) {
    if (child != nullptr && child->op != 0) {
      out.source = ColumnSource::Column;
      return Emit(*child, false, out.column);
    }
    if (child != nullptr) {  // a folded constant
      out.source = ColumnSource::Fixed;
      return SplitIntoDoubles(child->value, out.high, out.low);
    }
    PlainOperand(is_variable, variable, high, low, out);
    return true;
  }

  std::uint16_t TakeColumn() {
    if (free_.empty()) return columns_++;
    const std::uint16_t column = free_.back();
    free_.pop_back();
    return column;
  }

  BlockProgram& block_;
  std::vector<std::uint16_t> free_;
  std::uint16_t columns_ = 0;
};

}  // namespace

void BuildBlockProgram(const EvalProgram& program, BlockProgram& block) {
  block = BlockProgram{};
  if (!program.ready || program.use_node_table || program.root->op == 0) return;
  BlockBuilder builder(block);
  std::uint16_t column = 0;
  if (!builder.Emit(*program.root, true, column)) {
    block = BlockProgram{};
    return;
  }
  block.column_count = builder.Columns();
  const bool root_on_piece = builder.PlaceRootOnPiece(*program.root);
  block.chunk = block.column_count == 0 || root_on_piece ? kColumnlessChunk : kBlockChunk;
  block.ready = true;
}

bool RunBlockChunk(BlockProgram& block, const double* xs, std::size_t count, double a, double b, bool limit,
                   long double* out) {
  if (block.columns.empty() && block.column_count != 0)
    block.columns.assign(2 * kBlockChunk * block.column_count, 0.0);
  BlockRun run;
  run.xs = xs;
  run.count = count;
  run.vars[0] = 0;
  run.vars[1] = a;
  run.vars[2] = b;
  run.columns = block.columns.data();
  run.out = out;
  run.limit = limit;
  std::memset(run.status, 0, count * sizeof run.status[0]);
  if (block.root_on_piece.function != nullptr) {  // one step, storing nothing in a column
    block.root_on_piece.function(block.root_on_piece, run);
    return true;
  }
  if (block.column_count == 0) {  // the root alone: nothing is stored in a column
    block.steps.front().function(block.steps.front(), run);
    return true;
  }
  ClearStoreFlags();
  for (const BlockStep& step : block.steps) step.function(step, run);
  return !StoreFlagsRaised();
}
