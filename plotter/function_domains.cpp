#include "plotter/function_domains.h"

#include <cmath>

const long double DomainInfinity = std::exp(600.0L);

std::array<long double, 9> DomainLower;
std::array<long double, 9> DomainUpper;

void ResetDomainBounds() {
    DomainLower.fill(-DomainInfinity);
    DomainUpper.fill(DomainInfinity);
}
