#pragma once
// Reading typed numbers. Every number of the system travels as the text of an edit field;
// these conversions never depend on the process locale (the GUI library sets it): the
// decimal separator is DecimalSeparator, whatever the locale says.
#include <string_view>

#include "engine/number_errors.h"

inline constexpr char DecimalSeparator = ',';

// The strict locale conversion: optional spaces, an optional "+" or "-", digits with at
// most one DecimalSeparator (at least one digit or the separator), an optional exponent
// ("E" or "e", an optional sign, digits), optional spaces, nothing else. A "." is not a
// separator here. Raises ConversionError for any other text and for a value beyond the
// 80-bit range, FloatOverflowError for a value within it but beyond the double range.
// The result is the double nearest to the text; values below the double range become
// denormals or 0.
double ParseLocaleNumber(std::string_view text);

// The strict conversion of a typed number: the first "." becomes the separator, then the
// locale conversion. Raises as ParseLocaleNumber.
double ParseNumber(std::string_view text);

// The tolerant conversion: the first "." becomes the separator; an empty text, or one with
// any character other than "0".."9", the separator, "-", "E", "e", gives 0. Otherwise the
// locale conversion, which still raises for texts such as "1,2,3" or "-".
double ParseFloatOrZero(std::string_view text);

// The strict decimal-integer conversion: optional leading spaces, an optional sign and
// decimal digits, nothing else, within the 32-bit range. Raises IntegerConversionError.
int ParseDecimalInteger(std::string_view text);
