#include "engine/bounded_program.h"

#include <cmath>
#include <limits>

#include "engine/evaluation_program.h"
#include "engine/expression_tables.h"
#include "engine/extended_math.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The margins: K on propagated bounds, kRelative on a result's own rounding (a double's
// half-unit 2^-53 and the 80-bit one 2^-64, doubled and more), kTiny for gradual underflow.
constexpr double K = 1 + 0x1p-49;
constexpr double kRelative = 0x1p-52;
constexpr double kTiny = 0x1p-1000;
// Beyond this magnitude a value gets an infinite bound: far below UndefinedValue in each
// program and below every overflow of the steps covered.
constexpr double kLargestValue = 0x1p60;
constexpr double kLargestSineOperand = 0x1p20;
// Vartelo's results from here on may be changed as they are finished (limited to 8.19).
constexpr double kLargestSoundValue = 8;

// ---- Sine and cosine in double arithmetic --------------------------------------------------

constexpr double Factorial(int n) { return n <= 1 ? 1.0 : n * Factorial(n - 1); }  // exact up to 18!
constexpr double InverseFactorial(int n) { return 1.0 / Factorial(n); }

// v = k pi/2 + r with |r| <= pi/4 (a hair more), quadrant = k mod 4. k times each of the two
// first parts of pi/2 is exact (33 and 31 significant bits, |k| < 2^20), and so is v minus
// the first product (both are multiples of the unit of v's last place).
inline double Reduce(double v, std::int64_t& quadrant) {
  constexpr double kShift = 0x1.8p52;
  constexpr double kPart3 = xmath::detail::kHalfPi3 + xmath::detail::kHalfPi4;
  const double k = (v * xmath::detail::kTwoOverPi + kShift) - kShift;
  quadrant = static_cast<std::int64_t>(k);
  return ((v - k * xmath::detail::kHalfPi1) - k * xmath::detail::kHalfPi2) - k * kPart3;
}

// Taylor polynomials on |r| <= 0.79: the first term left out is below 1E-19.
inline double SineOfReduced(double r) {
  const double z = r * r;
  const double p =
      -InverseFactorial(3) +
      z * (InverseFactorial(5) +
           z * (-InverseFactorial(7) +
                z * (InverseFactorial(9) +
                     z * (-InverseFactorial(11) +
                          z * (InverseFactorial(13) + z * (-InverseFactorial(15) + z * InverseFactorial(17)))))));
  return r + r * z * p;
}

inline double CosineOfReduced(double r) {
  const double z = r * r;
  const double q =
      InverseFactorial(4) +
      z * (-InverseFactorial(6) +
           z * (InverseFactorial(8) +
                z * (-InverseFactorial(10) +
                     z * (InverseFactorial(12) +
                          z * (-InverseFactorial(14) + z * (InverseFactorial(16) - z * InverseFactorial(18)))))));
  return (1 - 0.5 * z) + (z * z) * q;
}

// sin of k pi/2 + r, for the quadrant k mod 4 (cos: k + 1).
inline double SineInQuadrant(double r, std::int64_t quadrant) {
  const double v = (quadrant & 1) != 0 ? CosineOfReduced(r) : SineOfReduced(r);
  return (quadrant & 2) != 0 ? -v : v;
}

// ---- Steps -------------------------------------------------------------------------------

struct Column {
  double* value;
  double* bound;
};

Column At(BoundedProgram& program, std::uint16_t column) {
  double* value = program.columns.data() + 2 * kBlockChunk * column;
  return {value, value + kBlockChunk};
}

// A result's bound from the bound it inherits from its operands: infinite beyond the
// magnitudes covered (and for NaN).
inline double Finished(double v, double inherited) {
  const double bound = inherited * K + std::fabs(v) * kRelative + kTiny;
  return std::fabs(v) <= kLargestValue ? bound : kInfinity;
}

void RunStep(const BoundedStep& step, BoundedProgram& program, std::size_t count) {
  const Column l = At(program, step.left), r = At(program, step.right), out = At(program, step.column);
  switch (step.kind) {
    case BoundedKind::Copy:
      for (std::size_t i = 0; i < count; ++i) {
        out.value[i] = l.value[i];
        out.bound[i] = l.bound[i];
      }
      break;
    case BoundedKind::Negate:
      for (std::size_t i = 0; i < count; ++i) {
        out.value[i] = -l.value[i];
        out.bound[i] = l.bound[i];
      }
      break;
    case BoundedKind::Add:
      for (std::size_t i = 0; i < count; ++i) {
        const double v = l.value[i] + r.value[i];
        out.value[i] = v;
        out.bound[i] = Finished(v, l.bound[i] + r.bound[i]);
      }
      break;
    case BoundedKind::Multiply:
      for (std::size_t i = 0; i < count; ++i) {
        const double a = l.value[i], ea = l.bound[i], b = r.value[i], eb = r.bound[i];
        const double v = a * b;
        out.value[i] = v;
        out.bound[i] = Finished(v, std::fabs(a) * eb + std::fabs(b) * ea + ea * eb);
      }
      break;
    case BoundedKind::Square:
      for (std::size_t i = 0; i < count; ++i) {
        const double a = l.value[i], ea = l.bound[i];
        const double v = a * a;
        out.value[i] = v;
        out.bound[i] = Finished(v, 2 * std::fabs(a) * ea + ea * ea);
      }
      break;
    case BoundedKind::Divide:
      // |a/b - A/B| <= (|a| eb + |b| ea) / (|b| (|b| - eb)), with |b| - eb >= |b| / 2.
      for (std::size_t i = 0; i < count; ++i) {
        const double a = l.value[i], ea = l.bound[i], b = r.value[i], eb = r.bound[i];
        const double v = a / b;
        const double m = std::fabs(b);
        out.value[i] = v;
        out.bound[i] = m > 2 * eb ? Finished(v, (std::fabs(a) * eb + m * ea) / (m * (m - eb))) : kInfinity;
      }
      break;
    case BoundedKind::Sin:
    case BoundedKind::Cos: {
      // |sin a - sin A| <= |a - A|; the 80-bit sine is within a few 2^-64 of the exact one.
      const std::int64_t turn = step.kind == BoundedKind::Cos ? 1 : 0;
      for (std::size_t i = 0; i < count; ++i) {
        const double a = l.value[i], ea = l.bound[i];
        const bool covered = std::fabs(a) + ea <= kLargestSineOperand;
        std::int64_t quadrant = 0;
        const double reduced = Reduce(covered ? a : 0, quadrant);
        out.value[i] = SineInQuadrant(reduced, quadrant + turn);
        out.bound[i] = covered ? ea * K + 2 * kDoubleSineError : kInfinity;
      }
      break;
    }
  }
}

// The kind of the step of a block program, if the bounds cover it.
bool KindOf(const BlockStep& step, BoundedKind& kind) {
  const EvalNode& node = *step.node;
  if (node.integer_power) return false;
  switch (node.op) {
    case OpCopy: kind = BoundedKind::Copy; return true;
    case OpAdd:
    case OpSubtract: kind = BoundedKind::Add; return true;
    case OpMultiply: kind = BoundedKind::Multiply; return true;
    case OpDivide: kind = BoundedKind::Divide; return true;
    case OpNegate: kind = BoundedKind::Negate; return true;
    case OpSquare: kind = BoundedKind::Square; return true;
    case OpSin: kind = BoundedKind::Sin; return true;
    case OpCos: kind = BoundedKind::Cos; return true;
    default: return false;
  }
}

}  // namespace

double DoubleSine(double v) {
  std::int64_t quadrant;
  const double r = Reduce(v, quadrant);
  return SineInQuadrant(r, quadrant);
}

double DoubleCosine(double v) {
  std::int64_t quadrant;
  const double r = Reduce(v, quadrant);
  return SineInQuadrant(r, quadrant + 1);
}

void BuildBoundedProgram(const BlockProgram& block, BoundedProgram& bounded) {
  bounded = BoundedProgram{};
  if (!block.ready || block.steps.empty()) return;
  // Block columns k become k + 1 (0 is x; the root writes into 1 even where the block has no
  // column); fixed operands follow.
  const auto block_columns = static_cast<std::uint16_t>(block.columns.size() / (2 * kBlockChunk));
  std::uint16_t next = block_columns + 2;
  const auto column_of = [&](const BlockOperand& operand) -> std::uint16_t {
    switch (operand.source) {
      case ColumnSource::Column: return operand.column + 1;
      case ColumnSource::X: return 0;
      default: bounded.fixed.push_back({next, operand.variable, operand.high, operand.low}); return next++;
    }
  };
  for (const BlockStep& step : block.steps) {
    BoundedStep bounded_step;
    if (!KindOf(step, bounded_step.kind)) {
      bounded = BoundedProgram{};
      return;
    }
    bounded_step.left = column_of(step.left);
    const bool binary = IsBinaryOp(step.node->op);
    bounded_step.right = binary ? column_of(step.right) : bounded_step.left;
    bounded_step.column = step.column + 1;
    bounded.steps.push_back(bounded_step);
  }
  bounded.result = bounded.steps.back().column;
  bounded.columns.assign(2 * kBlockChunk * next, 0.0);
  bounded.ready = true;
}

void RunBoundedChunk(BoundedProgram& bounded, const double* xs, std::size_t count, double a, double b, bool limit,
                     double* values, double* bounds) {
  const Column x = At(bounded, 0);
  for (std::size_t i = 0; i < count; ++i) {
    x.value[i] = xs[i];
    x.bound[i] = std::fabs(xs[i]) <= kLargestValue ? 0 : kInfinity;
  }
  for (const BoundedFixed& fixed : bounded.fixed) {
    // a and b are exact; a constant is high + low exactly.
    const double v = fixed.variable == 1 ? a : fixed.variable == 2 ? b : fixed.high;
    const double e = fixed.variable != 0 ? 0 : std::fabs(fixed.low);
    const Column column = At(bounded, fixed.column);
    for (std::size_t i = 0; i < count; ++i) {
      column.value[i] = v;
      column.bound[i] = std::fabs(v) <= kLargestValue ? e : kInfinity;
    }
  }
  for (const BoundedStep& step : bounded.steps) RunStep(step, bounded, count);
  const Column result = At(bounded, bounded.result);
  const double largest = limit ? kLargestSoundValue : kLargestValue;
  for (std::size_t i = 0; i < count; ++i) {
    values[i] = result.value[i];
    bounds[i] = std::fabs(result.value[i]) + result.bound[i] < largest ? result.bound[i] : kInfinity;
  }
}
