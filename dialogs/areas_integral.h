#pragma once
// The integral of an area row, estimated by the trapezoid rule.
#include <string>

#include "dialogs/area_rows.h"

// The signed integral of the row's second function minus its first over its bounds, on
// 1024 trapezoids (a trapezoid touching an undefined sample is left out), rounded to 6
// decimals below 10^6, as text with 15 significant digits. Raises when the row cannot be
// read, names a function whose text is empty or unreadable, or the sum overflows.
std::string ComputeArea(const AreaSettings& row);

inline constexpr int AreaTrapezoids = 1024;
