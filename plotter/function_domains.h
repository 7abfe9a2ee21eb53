#pragma once
// The domain of each function: outside it the function is undefined. The domains dialog
// (Form6) edits the bounds.
#include <array>

// What "inf" stands for: e^600. "-inf" is its negative.
extern const long double DomainInfinity;

// Per function (0 = f .. 8 = n) the lower and upper bound of its domain, both included.
extern std::array<long double, 9> DomainLower;
extern std::array<long double, 9> DomainUpper;

// Every function defined from -DomainInfinity to DomainInfinity (done at start-up).
void ResetDomainBounds();
