#pragma once
// The periodic waveforms of Vartelo's expression language ("CRE", "SCI", "TRI", "PAL"):
// period 2 pi, values in -1 .. 1, computed in 80-bit and rounded to double.
// The operand is first brought into 0 .. 2 pi; an operand whose number of turns does not
// fit a 64-bit integer (|x| >= 2^63 * 2 pi) raises FloatInvalidOperationError.

double SquareWave(double x);    // 1 on [0, pi), -1 on [pi, 2 pi]
double SawtoothWave(double x);  // from -1 at 0 up to 1 at 2 pi
double TriangleWave(double x);  // -1 up to 1 on [0, pi), back down to -1 at 2 pi
double PlateauWave(double x);   // -1 up to 0, flat from 2 pi/3 to 4 pi/3, up to 1

namespace waveform_detail {
// The operand brought into 0 .. 2 pi; sets `fault` instead of raising.
double ReduceToTurn(double x, bool& fault);
double SquareOfTurn(double c);
double SawtoothOfTurn(double c);
double TriangleOfTurn(double c);
double PlateauOfTurn(double c);
}  // namespace waveform_detail
