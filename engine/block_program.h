#pragma once
// The evaluation of a row of points one node at a time, behind EvaluateFunctionBlock: for a
// chunk of up to kBlockChunk points, each node of the evaluation program computes its value
// at every point of the chunk into a column, which its parent then reads; the root writes
// the results. A loop over the points inside each node costs far less than a call per node
// and point, and lets the processor overlap the points.
//
// A column holds each value v as two doubles, h (v rounded) and h - v: exact for v = 0 and
// for every v from about 2^-1011 up to the largest double in magnitude, and several times
// cheaper to store than 10 bytes. A chunk in which some value was not stored exactly (the
// processor's flags tell) is evaluated point by point instead; a program of one step, the
// root reading only x, a, b and constants, stores nothing and needs no such check; nor does
// a root on a simple piece (2*x, x^2, x-b, -x) and a constant or variable, 3*x+2, which
// computes the piece inline as the per-point evaluation does. Each node
// applies the same kernel to the same operand values as the per-point evaluation, and notes
// a value equal to UndefinedValue the same way, so both give the same bits.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/evaluation_program.h"

inline constexpr std::size_t kBlockChunk = 256;
// A program of one step has no column: its chunks are longer, for less work per chunk.
inline constexpr std::size_t kColumnlessChunk = 512;

// Where a step's operand comes from: another step's column, x, or a value fixed for the
// whole row (a, b or a constant).
enum class ColumnSource : std::uint8_t { Column, X, Fixed };

struct BlockOperand {
  ColumnSource source = ColumnSource::Fixed;
  std::uint16_t column = 0;
  std::uint8_t variable = 0;  // Fixed: 1 a, 2 b, 0 the constant high + low
  double high = 0, low = 0;
};

struct BlockRun;
struct BlockStep;
// Computes one step over the chunk.
using BlockFunction = void (*)(const BlockStep&, BlockRun&);

struct BlockStep {
  BlockFunction function = nullptr;
  const EvalNode* node = nullptr;  // for a power by a constant integer
  BlockOperand left, right;
  // The root's plain operand beside its simple piece, which that root computes inline:
  // left and right are then the piece's operands, and `node` the piece.
  BlockOperand beside;
  std::uint16_t column = 0;  // where its values go (the last step writes the results)
};

struct BlockProgram {
  std::vector<BlockStep> steps;
  // A root on a simple piece and a plain operand, as one step run instead of `steps` (which
  // other forms of the program are built from); no function otherwise.
  BlockStep root_on_piece;
  std::uint16_t column_count = 0;
  // Column k: highs at 2k * kBlockChunk, differences after them. Taken at the first row, not
  // when the text is compiled: many programs never run a row.
  std::vector<double> columns;
  std::size_t chunk = kBlockChunk;  // the most points of one RunBlockChunk
  bool ready = false;               // false: the row goes point by point
};

// The block form of `program`; not ready for a program that runs the node table, whose root
// is a constant, or that holds a constant beyond the double range.
void BuildBlockProgram(const EvalProgram& program, BlockProgram& block);

// Evaluates the ready `block` at xs[0 .. count - 1] (count <= block.chunk) into out, as the
// per-point evaluation would (`limit`: Vartelo's limit to the sound range). False when the
// chunk must be evaluated point by point; out is then partly written.
bool RunBlockChunk(BlockProgram& block, const double* xs, std::size_t count, double a, double b, bool limit,
                   long double* out);
