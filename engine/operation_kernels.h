#pragma once
// The value of each operation of the expression language, shared by the evaluator's fast
// path, its node-table interpreter and the compiler's constant folding, so that all three
// compute bit for bit the same thing.
//
// An operation that is undefined at its operand (1/0, ln of a negative number, ...) sets
// kUndefined; a floating-point fault (an overflow of the 80-bit range, an operand too large
// for a 64-bit integer) sets kFault. Both make the evaluation's result UndefinedValue; the
// returned number is then meaningless.
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "engine/arc_tangent.h"
#include "engine/expression_tables.h"
#include "engine/extended_math.h"
#include "engine/random_source.h"
#include "engine/trigonometric.h"
#include "engine/waveforms.h"

namespace ops {

using Status = unsigned;
inline constexpr Status kUndefined = 1;
inline constexpr Status kFault = 2;

inline constexpr long double kTwoPow63 = 9223372036854775808.0L;
inline constexpr long double kPowerLimit = 698;  // every "^" and exp stays below e^698
inline constexpr long double kTanhLimit = 5678.22249441322L;
inline constexpr long double kEulerNumber = std::numbers::e;  // e rounded to double

// v - v is 0 for every finite v and NaN for infinities and NaN (no constant to load).
[[gnu::always_inline]] inline bool IsFinite(long double v) { return v - v == 0; }

using xmath::RoundedForTest;

// Whether v is finite: surely so when its double is.
[[gnu::always_inline]] inline bool IsFiniteQuick(long double v) {
  return std::fabs(RoundedForTest(v)) <= std::numeric_limits<double>::max() || IsFinite(v);
}

// Whether |d| < 2147483646 and the double d is not an integer. Then neither is the 80-bit
// value it was rounded from (an integer of that size is a double). Adding and removing
// 2^52 rounds such a magnitude to an integer.
[[gnu::always_inline]] inline bool IsFractionalBelowTwoPow31(double d) {
  const double magnitude = std::fabs(d);
  return magnitude < 2147483646.0 && (magnitude + 0x1p52) - 0x1p52 != magnitude;
}

// An overflow of the 80-bit range gives an infinity (faults are masked). The arithmetic
// operations let an infinity (or the NaN it turns into) flow on to the end of the
// evaluation, whose result is checked once; the operations that could hide one (a division
// by it, max, min, u, arctan, the large-operand branches of sin, cos, tanh and "^") report
// it as a fault themselves, and so do those that produce one from finite operands but could
// not pass it on (sinh, cosh).
[[gnu::always_inline]] inline long double Checked(long double v, Status& s) {
  if (!IsFiniteQuick(v)) s |= kFault;
  return v;
}

[[gnu::always_inline]] inline long double Frac(long double v) { return v - xmath::Trunc(v); }

// b^n by repeated squaring along the bits of |n|, the reciprocal for n < 0.
[[gnu::always_inline]] inline long double IntegerPower(long double b, std::int64_t n) {
  std::uint64_t bits = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  long double result = 1;
  while (true) {
    if (bits & 1) result *= b;
    bits >>= 1;
    if (bits == 0) break;
    b *= b;
  }
  return n < 0 ? 1 / result : result;
}

// b^p for b > 0, given y = p ln b with |y| < 698 and y rounded to double: 1 for p = 0,
// repeated squaring for an integral p of magnitude up to 2147483647, e^y otherwise.
[[gnu::always_inline]] inline long double PositivePower(long double b, long double p, long double y, double rounded_y) {
  if (IsFractionalBelowTwoPow31(RoundedForTest(p))) return xmath::ExpWithin(y, rounded_y);  // p is not 0 either
  if (p == 0) return 1;
  if (std::fabs(p) <= 2147483647.0L && xmath::RoundNear(p) == p) {
    return IntegerPower(b, xmath::IntegralToInt64(p));
  }
  return xmath::ExpWithin(y, rounded_y);
}

struct Copy {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status&) { return l; }
};
struct Add {
  [[gnu::always_inline]] static long double Apply(long double l, long double r, Status&) { return l + r; }
};
struct Multiply {
  [[gnu::always_inline]] static long double Apply(long double l, long double r, Status&) { return l * r; }
};
struct Divide {
  [[gnu::always_inline]] static long double Apply(long double l, long double r, Status& s) {
    const double rounded = RoundedForTest(r);  // nonzero and finite: so is r
    if (rounded != 0 && std::fabs(rounded) <= std::numeric_limits<double>::max()) return l / r;
    if (r == 0 || !IsFinite(r)) {
      s |= r == 0 ? kUndefined : kFault;
      return 0;
    }
    return l / r;
  }
};
struct Negate {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status&) { return -l; }
};
struct Power {
  // 0^p is 0, undefined for p < 0; a negative base needs an integral exponent; undefined
  // when |p ln |b|| >= 698.
  [[gnu::always_inline]] static long double Apply(long double b, long double p, Status& s) {
    // A double of b within ln's range comes from a positive b; |p ln b| below 697 in double
    // is below 698.
    const double rounded_b = RoundedForTest(b);
    if (xmath::IsWithinLnRange(rounded_b)) {
      const long double y = p * xmath::LnWithin(b, rounded_b);
      const double rounded_y = RoundedForTest(y);
      if (std::fabs(rounded_y) < 697) return PositivePower(b, p, y, rounded_y);
    }
    if (b == 0) {
      if (p < 0) s |= kUndefined;
      if (!IsFinite(p)) s |= kFault;
      return 0;
    }
    bool negative_result = false;
    long double base = b;
    if (!(b > 0)) {
      base = -b;
      const bool even = Frac(p / 2) == 0;
      if (!even && Frac((p + 1) / 2) != 0) {  // not an integer
        s |= kUndefined;
        return 0;
      }
      negative_result = !even;
    }
    const long double y = p * xmath::Ln(base);
    if (!(std::fabs(y) < kPowerLimit)) {
      s |= kUndefined;
      return 0;
    }
    const long double v = PositivePower(base, p, y, RoundedForTest(y));
    return negative_result ? -v : v;
  }
};
struct Max {
  [[gnu::always_inline]] static long double Apply(long double l, long double r, Status& s) {
    if (!(IsFiniteQuick(l) && IsFiniteQuick(r))) s |= kFault;
    return r >= l ? r : l;
  }
};
struct Min {
  [[gnu::always_inline]] static long double Apply(long double l, long double r, Status& s) {
    if (!(IsFiniteQuick(l) && IsFiniteQuick(r))) s |= kFault;
    return r <= l ? r : l;
  }
};
// True when a 64-bit integer can hold the operand's integral part (|L| < 2^63); for a
// larger operand, an infinity or NaN, sets kFault.
[[gnu::always_inline]] inline bool FitsInt64(long double l, Status& s) {
  if (std::fabs(RoundedForTest(l)) < 9e18 || std::fabs(l) < kTwoPow63) return true;
  s |= kFault;
  return false;
}
// Sine and cosine are 0 for |L| >= 2^63.
inline long double LargeOperandZero(long double l, Status& s) {
  if (!IsFinite(l)) s |= kFault;
  return 0;
}
struct Sin {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (std::fabs(RoundedForTest(l)) < 9e18) return xmath::Sin(l);
    return std::fabs(l) >= kTwoPow63 ? LargeOperandZero(l, s) : xmath::Sin(l);
  }
};
struct Cos {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (std::fabs(RoundedForTest(l)) < 9e18) return xmath::Cos(l);
    return std::fabs(l) >= kTwoPow63 ? LargeOperandZero(l, s) : xmath::Cos(l);
  }
};
// Whether (l - pi/2) / pi might be an integer: the double nearest to l tells that it is
// surely not wherever its own quotient lies clear of an integer by more than its error can
// reach (a few units in its last place, and what the rounding of l to double moves it by),
// and leaves the rest to the exact test.
[[gnu::always_inline]] inline bool MaybeOddHalfPi(long double l) {
  const double q = (RoundedForTest(l) - 1.5707963267948966) * 0.3183098861837907;
  if (!(std::fabs(q) < 0x1p40)) return true;
  const double nearest_integer = (q + 0x1.8p52) - 0x1.8p52;
  return std::fabs(q - nearest_integer) <= 1e-6 + std::fabs(q) * 0x1p-48;
}
struct Tan {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (!FitsInt64(l, s)) return 0;
    if (MaybeOddHalfPi(l) && Frac((l - kHalfPi) / kPi) == 0) {
      s |= kUndefined;
      return 0;
    }
    return xmath::Tan(l);
  }
};
// ln(kEulerNumber) - 1 (about -5.3E-17, kEulerNumber being slightly below e), so that
// l ln(kEulerNumber) is l + l * this.
inline const double kLnEulerNumberMinusOne = static_cast<double>(xmath::Ln(kEulerNumber) - 1);

struct Exp {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    const double rounded = RoundedForTest(l);  // below 697 and not an integer: so is l
    if (std::fabs(rounded) < 697 && IsFractionalBelowTwoPow31(rounded)) {
      const long double y = l + l * kLnEulerNumberMinusOne;
      return xmath::ExpWithin(y, RoundedForTest(y));
    }
    if (!(std::fabs(l) < kPowerLimit)) {
      s |= kUndefined;
      return 0;
    }
    // EulerNumber^l: repeated squaring for an integral l (1 for l = 0), else e^(l ln e).
    if (xmath::RoundNear(l) == l) return IntegerPower(kEulerNumber, xmath::IntegralToInt64(l));
    return xmath::Exp(l + l * kLnEulerNumberMinusOne);
  }
};
struct Ln {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (!(RoundedForTest(l) > 0) && !(l > 0)) {
      s |= kUndefined;
      return 0;
    }
    return xmath::Ln(l);
  }
};
struct Log {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (!(RoundedForTest(l) > 0) && !(l > 0)) {
      s |= kUndefined;
      return 0;
    }
    return xmath::Ln(l) / kLn10;
  }
};
struct Sqrt {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (!(RoundedForTest(l) > 0) && l < 0) {
      s |= kUndefined;
      return 0;
    }
    return xmath::Sqrt(l);
  }
};
struct Square {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status&) { return l * l; }
};
struct Abs {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status&) { return std::fabs(l); }
};
struct Sinh {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    const long double t = xmath::Exp(l) / 2;
    return Checked(t - 0.25L / t, s);
  }
};
struct Cosh {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    const long double t = xmath::Exp(l) / 2;
    return Checked(t + 0.25L / t, s);
  }
};
struct Tanh {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (!(std::fabs(RoundedForTest(l)) < 5677) && std::fabs(l) > kTanhLimit) {
      if (!IsFinite(l)) s |= kFault;
      return l > 0 ? 1 : -1;
    }
    const long double e = xmath::Exp(2 * l);
    return (e - 1) / (e + 1);
  }
};
struct ArcCos {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (!(std::fabs(l) <= 1)) {
      s |= kUndefined;
      return 0;
    }
    return xmath::ArcTangent2(xmath::Sqrt(1 - l * l), l);
  }
};
struct ArcSin {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (!(std::fabs(l) <= 1)) {
      s |= kUndefined;
      return 0;
    }
    return xmath::ArcTangent2(l, xmath::Sqrt(1 - l * l));
  }
};
struct ArcTan {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (!IsFiniteQuick(l)) s |= kFault;
    return xmath::ArcTangent2(l, 1);
  }
};
struct Ent {  // the floor
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) { return FitsInt64(l, s) ? xmath::Floor(l) : 0; }
};
struct Int {  // towards zero
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) { return FitsInt64(l, s) ? xmath::Trunc(l) : 0; }
};
struct FracPart {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status&) { return Frac(l); }
};
struct Random {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status&) { return NextRandomUnit() * l; }
};
struct Step {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    if (!IsFiniteQuick(l)) s |= kFault;
    return l >= 0 ? 1 : 0;
  }
};

// The waveforms take their operand rounded to double; one beyond the double range, or too
// many turns for a 64-bit integer, is a fault.
template <double (*Shape)(double)>
struct Wave {
  [[gnu::always_inline]] static long double Apply(long double l, long double, Status& s) {
    const double x = static_cast<double>(l);
    bool fault = !std::isfinite(x);
    const double c = fault ? 0 : waveform_detail::ReduceToTurn(x, fault);
    if (fault) {
      s |= kFault;
      return 0;
    }
    return Shape(c);
  }
};
using SquareWaveOp = Wave<waveform_detail::SquareOfTurn>;
using SawtoothWaveOp = Wave<waveform_detail::SawtoothOfTurn>;
using TriangleWaveOp = Wave<waveform_detail::TriangleOfTurn>;
using PlateauWaveOp = Wave<waveform_detail::PlateauOfTurn>;

// Whether a kernel reads its second operand.
template <class Kernel>
inline constexpr bool kIsBinary = false;
template <> inline constexpr bool kIsBinary<Add> = true;
template <> inline constexpr bool kIsBinary<Multiply> = true;
template <> inline constexpr bool kIsBinary<Divide> = true;
template <> inline constexpr bool kIsBinary<Power> = true;
template <> inline constexpr bool kIsBinary<Max> = true;
template <> inline constexpr bool kIsBinary<Min> = true;

// Whether a kernel's value can equal UndefinedValue (9.1E30 or 9.1E302) when none of its
// operands does: not for those bounded far below it in magnitude (sin, cos, tanh, the arc
// functions, ln, log, the integral and fractional parts, u, the waveforms: all below 2^63)
// nor for those that return one of their operands unchanged (copy, max, min).
template <class Kernel>
inline constexpr bool kCanReachUndefinedValue = true;
template <> inline constexpr bool kCanReachUndefinedValue<Copy> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Max> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Min> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Sin> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Cos> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Tanh> = false;
template <> inline constexpr bool kCanReachUndefinedValue<ArcCos> = false;
template <> inline constexpr bool kCanReachUndefinedValue<ArcSin> = false;
template <> inline constexpr bool kCanReachUndefinedValue<ArcTan> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Ln> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Log> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Ent> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Int> = false;
template <> inline constexpr bool kCanReachUndefinedValue<FracPart> = false;
template <> inline constexpr bool kCanReachUndefinedValue<Step> = false;
template <> inline constexpr bool kCanReachUndefinedValue<SquareWaveOp> = false;
template <> inline constexpr bool kCanReachUndefinedValue<SawtoothWaveOp> = false;
template <> inline constexpr bool kCanReachUndefinedValue<TriangleWaveOp> = false;
template <> inline constexpr bool kCanReachUndefinedValue<PlateauWaveOp> = false;

// Calls F with the kernel type of operation `op`; returns false for an unknown operation.
template <class F>
bool VisitOperation(int op, F&& f) {
  switch (op) {
    case OpCopy: f(Copy{}); return true;
    case OpAdd:
    case OpSubtract: f(Add{}); return true;
    case OpMultiply: f(Multiply{}); return true;
    case OpDivide: f(Divide{}); return true;
    case OpNegate: f(Negate{}); return true;
    case OpPower: f(Power{}); return true;
    case OpMax: f(Max{}); return true;
    case OpMin: f(Min{}); return true;
    case OpSin: f(Sin{}); return true;
    case OpCos: f(Cos{}); return true;
    case OpTan: f(Tan{}); return true;
    case OpExp: f(Exp{}); return true;
    case OpLn: f(Ln{}); return true;
    case OpLog: f(Log{}); return true;
    case OpSqrt: f(Sqrt{}); return true;
    case OpSquare: f(Square{}); return true;
    case OpAbs: f(Abs{}); return true;
    case OpSinh: f(Sinh{}); return true;
    case OpCosh: f(Cosh{}); return true;
    case OpTanh: f(Tanh{}); return true;
    case OpArcCos: f(ArcCos{}); return true;
    case OpArcSin: f(ArcSin{}); return true;
    case OpArcTan: f(ArcTan{}); return true;
    case OpEnt: f(Ent{}); return true;
    case OpInt: f(Int{}); return true;
    case OpFrac: f(FracPart{}); return true;
    case OpRandom: f(Random{}); return true;
    case OpStep: f(Step{}); return true;
    case OpSquareWave: f(SquareWaveOp{}); return true;
    case OpSawtoothWave: f(SawtoothWaveOp{}); return true;
    case OpTriangleWave: f(TriangleWaveOp{}); return true;
    case OpPlateauWave: f(PlateauWaveOp{}); return true;
    default: return false;
  }
}

// The value of operation `op`; an unknown operation is a fault.
inline long double ApplyOperation(int op, long double l, long double r, Status& s) {
  long double v = 0;
  if (!VisitOperation(op, [&](auto kernel) { v = decltype(kernel)::Apply(l, r, s); })) s |= kFault;
  return v;
}

}  // namespace ops
