#pragma once
// The text of the mouse coordinates shown beside the picture.
#include <string>

// One coordinate with 6 significant digits: in scientific notation (mantissa, "E", a "-"
// for a negative exponent, the exponent without leading zeros: "1,00000E-3", "1,23457E5")
// when |value| <= 0.01 or |value| >= 1000, otherwise in fixed notation with 6 decimals
// ("2,500000"). The decimal separator is DecimalSeparator. A value that is not finite
// raises FloatInvalidOperationError.
std::string FormatCoordinate(double value);

// "(" x " ; " y ")".
std::string FormatCoordinatePair(double x, double y);
