#pragma once
// The domains dialog, Form6: an interval of x for each function, outside which it is
// undefined.
#include <array>
#include <string>

#include "platform/ui/components.h"

class TForm6 : public TForm {
public:
    explicit TForm6(TApplication& app);
};

extern TForm6* Form6;

// What "inf" stands for: e^600. "-inf" is its negative.
extern const long double DomainInfinity;

// Per function (0 = f .. 8 = n) the lower and upper bound of its domain, both included.
extern std::array<long double, 9> DomainLower;
extern std::array<long double, 9> DomainUpper;

// Every function defined from -DomainInfinity to DomainInfinity (done at start-up).
void ResetDomainBounds();
// Reads the dialog's bounds into DomainLower and DomainUpper.
void ReadDomainDialog();
// The lower-case letter of function i: "f" for 0 .. "n" for 8.
std::string FunctionLetter(int i);
