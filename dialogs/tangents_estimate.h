#pragma once
// The slope of a function at a point, estimated from secants that close in on the point
// from both sides, and the tangent results of the five rows that the drawing reads.
#include <array>
#include <cstdint>
#include <string>

#include "dialogs/tangent_rows.h"

// Per row: the slope and the ordinate at x = 0 of the tangent (both rounded to 6
// decimals below 10^6), the abscissa of the last sample the estimate kept (the drawn
// tangent is centred there) and the sides on which the function was sampled.
extern std::array<double, TangentRowCount> TangentSlopes;
extern std::array<double, TangentRowCount> TangentIntercepts;
extern std::array<double, TangentRowCount> TangentPoints;
extern std::array<std::int32_t, TangentRowCount> TangentSides;

// TangentSides values: samples right of x0 only, left only, on both sides, no estimate.
inline constexpr std::int32_t TangentRightSide = 1;
inline constexpr std::int32_t TangentLeftSide = -1;
inline constexpr std::int32_t TangentBothSides = 0;
inline constexpr std::int32_t TangentNotDerivable = 2;

// The text of a row without a slope (leading and trailing space included).
inline constexpr const char* NotDerivableText = " Fonction non derivable ... ";

// Every entry back to zero (a new run of the program).
void ResetTangentResults();

// Computes row r and fills its entries; returns "y = <slope>.x + <intercept>" (6
// significant digits), or NotDerivableText when the function has no converging secant
// slope there or the row cannot be read (only the row's side then changes, to
// TangentNotDerivable). Never raises.
std::string ComputeTangent(int r);
