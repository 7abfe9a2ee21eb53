#pragma once
// Evaluation of a compiled slot for one abscissa x, or a row of them, and the parameters a and b.
#include <cstddef>

#include "engine/program_variant.h"
#include "engine/waveforms.h"

// The value of the text last compiled into `slot` (0..10), in 80-bit precision, or
// UndefinedValue: where the function is undefined (any operation of the text undefined at
// its operand), after a floating-point fault (an overflow of the 80-bit range, an operand
// too large for a 64-bit integer), for a slot whose last compile failed or that was never
// compiled, and wherever the text uses a non-finite x, a or b. In Vartelo a defined result
// is limited to -8.19 .. 8.19. Never raises; no allocation or lookup per call.
long double EvaluateFunction(int slot, double x, double a, double b);

// The values of slot `slot` at xs[0] .. xs[n - 1], all for the same a and b: out[i] is bit
// for bit EvaluateFunction(slot, xs[i], a, b) (random draws included, in the order of i),
// without the cost of a call per point. Never raises.
void EvaluateFunctionBlock(int slot, const double* xs, std::size_t n, double a, double b, long double* out);

// The same values in double arithmetic, quicker, with at each point a bound on the distance
// to the 80-bit value: |values[i] - EvaluateFunction(slot, xs[i], a, b)| <= bounds[i]
// (infinite where the bound cannot be given, as where the function is undefined). False,
// with nothing written, for a slot whose text has an operation other than +, -, *, /, the
// square, a power by a constant integer from -16 to 16, sin, cos, tan, racine, ln, exp, ent
// and abs.
bool EvaluateFunctionBlockBounded(int slot, const double* xs, std::size_t n, double a, double b, double* values,
                                  double* bounds);

// Whether the text last compiled into `slot` draws random numbers: its values then depend on
// the order of all evaluations that draw, in every slot, and must be made one after another.
bool FunctionDrawsRandomNumbers(int slot);
