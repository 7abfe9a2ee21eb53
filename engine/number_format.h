#pragma once
// The general number-to-text format, with DecimalSeparator and never through the locale.
#include <string>

inline constexpr int GeneralDigits = 15;  // edits, settings files, integrals, label sizes
inline constexpr int ShortDigits = 6;     // tangent and limit results

// The value rounded to `digits` significant digits (1..18). 0, and magnitudes from 0.0001
// up to below 10^digits, are written in plain decimal notation ("-12,5", "0,0001", "100");
// others as one digit, the separator and the further digits, "E", a "-" for a negative
// exponent only, and the exponent without leading zeros ("1E15", "1,5E-7"). Trailing zeros
// are dropped, and the separator too when no digit follows it. No thousands separator.
std::string FormatGeneral(long double value, int digits);
