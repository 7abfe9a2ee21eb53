#pragma once
// The entry of a program that is an affine function of one variable built from double
// constants: 3*x+2, 1-x, x/2-3, (x+1)/2, -a*4, 0,5*x, and the powers x^2, x^3, x^4 with at
// most one such operation more. Such a text costs little more than its x87 operations, where
// the general entry keeps a context, loads each constant as two doubles and tests the piece
// and the result.
#include "engine/evaluation_program.h"

// When the program's root is (v OP1 c1) OP2 c2 or v OP1 c1 (OP1 and OP2 an addition, a
// subtraction or a product, in either order; OP1 also the negation of v or its power by 2, 3
// or 4), with v one of x, a, b and the constants doubles, makes the affine entry the
// program's entry; the entry it had stays for the points the affine entry leaves to it.
// Called once the program is built.
void PlaceAffineEntry(EvalProgram& program);

// The least magnitude of v at which v OP1 c1 (OP1 given as ExprOp: add, subtract, multiply,
// negate) can be as large as UndefinedValue in magnitude: below it, the piece never equals
// UndefinedValue. Infinity where no finite v reaches it.
double AffinePieceBound(int op, double c);
