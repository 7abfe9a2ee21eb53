#pragma once
// Evaluation of a compiled slot for one abscissa x and the parameters a and b.
#include "engine/program_variant.h"
#include "engine/waveforms.h"

// The value of the text last compiled into `slot` (0..10), in 80-bit precision, or
// UndefinedValue: where the function is undefined (any operation of the text undefined at
// its operand), after a floating-point fault (an overflow of the 80-bit range, an operand
// too large for a 64-bit integer), for a slot whose last compile failed or that was never
// compiled, and wherever the text uses a non-finite x, a or b. In Vartelo a defined result
// is limited to -8.19 .. 8.19. Never raises; no allocation or lookup per call.
long double EvaluateFunction(int slot, double x, double a, double b);
