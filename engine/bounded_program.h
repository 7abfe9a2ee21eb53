#pragma once
// A quick second evaluation of a row of points, in double arithmetic, that also gives at each
// point a bound on its distance to the 80-bit value of the evaluator. Where the bound shows
// that a value computed from the double (a sample of the sound, say) cannot differ from the
// one computed from the 80-bit value, the caller keeps it; elsewhere it asks the evaluator.
//
// It covers the texts made of +, -, *, /, the square, a power by a constant integer from -16
// to 16, sin, cos, tan, racine, ln, exp, ent and abs of x, a, b and constants, and runs the
// same steps as the block form of the program. Each step propagates the bounds of its
// operands and adds its own rounding (that of the double and that of the 80-bit
// operation), with margins that also cover the rounding of the bound's own arithmetic. A
// point whose values leave the ranges where these bounds hold (magnitudes beyond 2^60, sines
// of operands beyond 2^20, a divisor that may be zero, an operand whose interval may reach
// where the evaluator's operation is undefined or may cross a step of ent, a result the
// evaluator would change when it finishes it) gets an infinite bound.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/block_program.h"

// The most points of one RunBoundedChunk (shorter than the block form's chunks: measured
// quicker for the curves' rows).
inline constexpr std::size_t kBoundedChunk = 64;

// sin v and cos v in double arithmetic for |v| <= 2^20, within kDoubleSineError of the exact
// values.
double DoubleSine(double v);
double DoubleCosine(double v);
inline constexpr double kDoubleSineError = 0x1p-48;

// The relative errors assumed of the C library's double log, exp and tan (4 units in the
// last place, where it documents 1 or 2) and of the evaluator's 80-bit ones (16 units).
inline constexpr double kLibraryRelativeError = 0x1p-50;
inline constexpr double kExtendedRelativeError = 0x1p-60;

// The largest exponent magnitude of the powers by a constant integer covered.
inline constexpr int kLargestBoundedExponent = 16;

enum class BoundedKind : std::uint8_t {
  Copy, Add, Multiply, Divide, Negate, Square, Power, Sin, Cos, Tan, Sqrt, Ln, Exp, Floor, Abs
};

struct BoundedStep {
  BoundedKind kind = BoundedKind::Copy;
  std::uint16_t left = 0, right = 0, column = 0;  // columns
  // Power: the exponent, and the magnitudes of the base between which the evaluator's power
  // is surely defined.
  std::int16_t exponent = 0;
  double defined_above = 0, defined_below = 0;
};

// A value fixed for the whole row: a, b, or a constant high + low.
struct BoundedFixed {
  std::uint16_t column = 0;
  std::uint8_t variable = 0;  // 1 a, 2 b, 0 the constant
  double high = 0, low = 0;
};

struct BoundedProgram {
  std::vector<BoundedStep> steps;
  std::vector<BoundedFixed> fixed;
  std::uint16_t column_count = 0;
  // Column k: values at 2k * kBoundedChunk, bounds after them; taken at the first run.
  std::vector<double> columns;
  std::uint16_t result = 0;
  bool ready = false;  // false: the text has an operation the bounds do not cover
};

// Column 0 holds x; the others are those of `block`'s steps, then one per fixed operand.
void BuildBoundedProgram(const BlockProgram& block, BoundedProgram& bounded);

// The values and bounds of the ready `bounded` at xs[0 .. count - 1] (count <= kBoundedChunk):
// |values[i] - v| <= bounds[i] where v is the evaluator's value at xs[i]. `limit`: the
// evaluator limits its results to the sound range.
void RunBoundedChunk(BoundedProgram& bounded, const double* xs, std::size_t count, double a, double b, bool limit,
                     double* values, double* bounds);
