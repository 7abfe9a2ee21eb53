#include "engine/bounded_program.h"

#include <cmath>
#include <limits>

#include "engine/evaluation_program.h"
#include "engine/expression_tables.h"
#include "engine/trigonometric.h"

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
// The own error of a result of the library's log, exp or tan, relative: its error and the
// evaluator's, doubled.
constexpr double kOwnLibraryError = 2 * (kLibraryRelativeError + kExtendedRelativeError);

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
  double* value = program.columns.data() + 2 * kBoundedChunk * column;
  return {value, value + kBoundedChunk};
}

// A result's bound from the bound it inherits from its operands: infinite beyond the
// magnitudes covered (and for NaN).
inline double Finished(double v, double inherited) {
  const double bound = inherited * K + std::fabs(v) * kRelative + kTiny;
  return std::fabs(v) <= kLargestValue ? bound : kInfinity;
}

// |a|^n in double by repeated squaring along the bits of |n|, the reciprocal for n < 0.
inline double DoublePower(double m, int n) {
  unsigned bits = static_cast<unsigned>(n < 0 ? -n : n);
  double result = 1;
  while (true) {
    if ((bits & 1) != 0) result *= m;
    bits >>= 1;
    if (bits == 0) break;
    m *= m;
  }
  return n < 0 ? 1 / result : result;
}

// A power by a constant integer n. The evaluator multiplies in 80 bits: each of the |n| - 1
// products of the expanded tree of its squarings (and the reciprocal for n < 0) rounds by
// 2^-64 relative, as the double's do by 2^-53: (|n| + 1) 2^-53 relative together, doubled.
// With r = ea / |a| <= 1 / 8|n|, L = a (1 + t), |t| <= r: |L^n - a^n| <= |a^n| |n| r e^y,
// y = (|n| + 1) r / (1 - r) <= 2/7 (the mean value theorem on (1 + t)^n), and e^y <= 1 +
// 4|n| r. The interval |a| (1 -+ r) must lie where the evaluator's power is surely defined;
// 0^n is 0 for n >= 0, undefined for n < 0.
void RunPower(const BoundedStep& step, Column l, Column out, std::size_t count) {
  const int n = step.exponent;
  const double magnitude = n < 0 ? -n : n;
  const double own = (magnitude + 1) * 0x1p-52;
  for (std::size_t i = 0; i < count; ++i) {
    const double a = l.value[i], ea = l.bound[i];
    const double m = std::fabs(a);
    const double power = DoublePower(m, n);
    const double v = std::signbit(a) && (n & 1) != 0 ? -power : power;
    const double r = ea / m;
    const bool defined = magnitude * r <= 0.125 && r <= 0.125 && m * 0.75 > step.defined_above &&
                         m * 1.25 < step.defined_below;
    out.value[i] = a == 0 && ea == 0 ? 0 : v;
    if (a == 0 && ea == 0) {
      out.bound[i] = n >= 0 ? 0 : kInfinity;
    } else {
      const double spread = power * magnitude * r * (1 + 4 * magnitude * r) * (1 + 0x1p-47);
      out.bound[i] = defined ? Finished(v, spread + power * own) : kInfinity;
    }
  }
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
    case BoundedKind::Tan:
      // |tan a - tan L| <= ea max(1 + tan^2) = ea / min cos^2 over the operand's interval;
      // since cos is 1-Lipschitz, |cos| >= c = |DoubleCosine(a)| - 2 kDoubleSineError - ea
      // there. c >= 2^-30 keeps the interval far from the poles, and from where the
      // evaluator's own pole test could fire (|cos L| below |L| 2^-61). Own rounding: the
      // library's tan and the 80-bit one.
      for (std::size_t i = 0; i < count; ++i) {
        const double a = l.value[i], ea = l.bound[i];
        const bool small = std::fabs(a) + ea <= kLargestSineOperand;
        const double c = std::fabs(DoubleCosine(small ? a : 0)) - 2 * kDoubleSineError - ea;
        const double v = std::tan(a);
        out.value[i] = v;
        out.bound[i] = small && c >= 0x1p-30 ? Finished(v, ea / (c * c) + std::fabs(v) * kOwnLibraryError) : kInfinity;
      }
      break;
    case BoundedKind::Power:
      RunPower(step, l, out, count);
      break;
    case BoundedKind::Sqrt:
      // Defined where L >= 0, which a >= ea (an exact comparison) ensures. |sqrt a - sqrt L|
      // = |a - L| / (sqrt a + sqrt L) <= min(ea / sqrt a, sqrt ea). Both square roots are
      // correctly rounded (2^-53 and 2^-64 relative).
      for (std::size_t i = 0; i < count; ++i) {
        const double a = l.value[i], ea = l.bound[i];
        const double v = std::sqrt(a);
        const double spread = a > 0 ? std::fmin(ea / v, std::sqrt(ea)) : std::sqrt(ea);
        out.value[i] = v;
        out.bound[i] = a >= ea ? Finished(v, spread) : kInfinity;
      }
      break;
    case BoundedKind::Ln:
      // Defined where L > 0: a > 2 ea gives L >= a - ea >= a / 2. |ln a - ln L| <= ea / (a -
      // ea), the slope at the interval's low end. Own rounding: the library's log and the
      // 80-bit one.
      for (std::size_t i = 0; i < count; ++i) {
        const double a = l.value[i], ea = l.bound[i];
        const double v = std::log(a);
        out.value[i] = v;
        out.bound[i] = a > 2 * ea ? Finished(v, ea / (a - ea) + std::fabs(v) * kOwnLibraryError) : kInfinity;
      }
      break;
    case BoundedKind::Exp:
      // Defined where |L| < 698: |a| + ea <= 696. |e^a - e^L| <= e^a (e^ea - 1) <= e^a ea
      // (1 + ea) for ea <= 1 (ea <= 2^-10 here, so that e^L <= 1.002 e^a). The evaluator
      // computes E^L, E the double nearest e: e^(L (1 + d)) with |d| < 2^-54, that is
      // |L| 2^-54 relative (plus 2^-64 per product of its repeated squaring for an integral
      // L, |L| of them at most), besides its own rounding and the library's.
      for (std::size_t i = 0; i < count; ++i) {
        const double a = l.value[i], ea = l.bound[i];
        const double v = std::exp(a);
        const double m = std::fabs(a) + ea;
        const double own = std::fabs(v) * (kOwnLibraryError + 2 * m * 0x1p-53);
        out.value[i] = v;
        out.bound[i] = m <= 696 && ea <= 0x1p-10 ? Finished(v, std::fabs(v) * ea * (1 + ea) * K + own) : kInfinity;
      }
      break;
    case BoundedKind::Floor:
      // Exact where the operand's interval has one floor f: L - f >= a - f - ea >= 0 and
      // f + 1 - L > 0. Both differences are exact or within 2^-53 of their size for |a| <
      // 2^52 (f + 1 then exact), hence the margin.
      for (std::size_t i = 0; i < count; ++i) {
        const double a = l.value[i], ea = l.bound[i];
        const double f = std::floor(a);
        const double below = a - f, above = (f + 1) - a;
        const bool one_floor = std::fabs(a) < 0x1p52 && below * (1 - 0x1p-50) >= ea && above * (1 - 0x1p-50) > ea;
        out.value[i] = f;
        out.bound[i] = one_floor ? 0 : kInfinity;
      }
      break;
    case BoundedKind::Abs:
      // ||a| - |L|| <= |a - L|, both exact.
      for (std::size_t i = 0; i < count; ++i) {
        out.value[i] = std::fabs(l.value[i]);
        out.bound[i] = l.bound[i];
      }
      break;
  }
}

// The kind of the step of a block program (and a power's exponent and bounds), if the bounds
// cover it.
bool KindOf(const BlockStep& step, BoundedStep& bounded) {
  const EvalNode& node = *step.node;
  if (node.integer_power) {
    const std::int64_t n = node.power.exponent;
    if (n < -kLargestBoundedExponent || n > kLargestBoundedExponent) return false;
    bounded.kind = BoundedKind::Power;
    bounded.exponent = static_cast<std::int16_t>(n);
    bounded.defined_above = node.power.surely_defined_above;
    bounded.defined_below = node.power.surely_defined_below;
    return true;
  }
  switch (node.op) {
    case OpCopy: bounded.kind = BoundedKind::Copy; return true;
    case OpAdd:
    case OpSubtract: bounded.kind = BoundedKind::Add; return true;
    case OpMultiply: bounded.kind = BoundedKind::Multiply; return true;
    case OpDivide: bounded.kind = BoundedKind::Divide; return true;
    case OpNegate: bounded.kind = BoundedKind::Negate; return true;
    case OpSquare: bounded.kind = BoundedKind::Square; return true;
    case OpSin: bounded.kind = BoundedKind::Sin; return true;
    case OpCos: bounded.kind = BoundedKind::Cos; return true;
    case OpTan: bounded.kind = BoundedKind::Tan; return true;
    case OpSqrt: bounded.kind = BoundedKind::Sqrt; return true;
    case OpLn: bounded.kind = BoundedKind::Ln; return true;
    case OpExp: bounded.kind = BoundedKind::Exp; return true;
    case OpEnt: bounded.kind = BoundedKind::Floor; return true;
    case OpAbs: bounded.kind = BoundedKind::Abs; return true;
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
  const std::uint16_t block_columns = block.column_count;
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
    if (!KindOf(step, bounded_step)) {
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
  bounded.column_count = next;
  bounded.ready = true;
}

void RunBoundedChunk(BoundedProgram& bounded, const double* xs, std::size_t count, double a, double b, bool limit,
                     double* values, double* bounds) {
  if (bounded.columns.empty()) bounded.columns.assign(2 * kBoundedChunk * bounded.column_count, 0.0);
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
