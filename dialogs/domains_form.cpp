#include "dialogs/domains_form.h"

#include <cmath>

TForm6* Form6 = nullptr;

const long double DomainInfinity = std::exp(600.0L);

std::array<long double, 9> DomainLower;
std::array<long double, 9> DomainUpper;

void ResetDomainBounds() {
    DomainLower.fill(-DomainInfinity);
    DomainUpper.fill(DomainInfinity);
}

TForm6::TForm6(TApplication& app) : TForm(app, "Form6") {
    SetCaption("Domaines de d\xE9" "finition");
    SetBorderStyle(bsDialog);
    SetBounds(0, 0, 440, 330);
    SetKeyPreview(true);
}

std::string FunctionLetter(int i) { return std::string(1, char('f' + i)); }

// The dialog's bounds are not read yet.
void ReadDomainDialog() {}
