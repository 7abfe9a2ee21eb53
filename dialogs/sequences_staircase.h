#pragma once
// The terms of a sequence U(n+1) = F(Un): when a sequence stops, its limit, and the
// names and pixel helpers of its staircase drawing.
#include <string>

class TBitmap;

// Two successive terms closer than this have settled on a limit.
inline constexpr long double SequenceTolerance = 1e-6L;
// At most this many terms are computed for the limit.
inline constexpr int SequenceLimitPasses = 201;

// Whether the sequence ends at the term v = F(u), given the term before it (prev) and
// the argument before u (prevIn): v undefined, |v - prev| below the tolerance, |prevIn - u|
// below its square, or |v| beyond e^30.
bool SequenceStops(long double u, long double v, long double prev, long double prevIn);

// The limit of row r: "Limite =" and the last term (6 significant digits) when two
// successive terms settled; "Pas de limite ... " when the terms grew past e^30, reached
// an undefined value or were still moving after SequenceLimitPasses terms; the empty text
// when the row cannot be read or its function is empty or unreadable. Never raises.
std::string ComputeSequenceLimit(int r);

// 0 when v < 0, hi when v > hi, else v.
int ClampToRange(int v, int hi);

// The upper-case letter of function i: "F" for 0 up to "N" for 8.
std::string UpperFunctionLetter(int i);

// Draws the staircases of the rows that are on.
void DrawSequences(TBitmap& bitmap);
