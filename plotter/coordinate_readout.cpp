#include "plotter/coordinate_readout.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "engine/number_conversion.h"
#include "engine/number_errors.h"

namespace {

constexpr int ReadoutDigits = 6;

// The text of std::to_chars with its "." turned into the program's separator.
std::string WithSeparator(const char* begin, const char* end) {
    std::string text(begin, end);
    for (char& c : text)
        if (c == '.') c = DecimalSeparator;
    return text;
}

std::string Scientific(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, ReadoutDigits - 1);
    const char* e = buffer;
    while (e < result.ptr && *e != 'e') ++e;
    std::string text = WithSeparator(buffer, e);
    int exponent = 0;
    if (e < result.ptr) std::from_chars(e + 1 + (e[1] == '+'), result.ptr, exponent);
    text += 'E';
    if (exponent < 0) text += '-';
    char digits[16];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, std::abs(exponent)).ptr);
    return text;
}

std::string Fixed(double value) {
    // Rounded to the significant digits first, then written with six decimals.
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, ReadoutDigits - 1);
    double rounded = value;
    std::from_chars(buffer, result.ptr, rounded, std::chars_format::scientific);
    result = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, ReadoutDigits);
    return WithSeparator(buffer, result.ptr);
}

}  // namespace

std::string FormatCoordinate(double value) {
    if (!std::isfinite(value)) throw FloatInvalidOperationError();
    const double magnitude = std::fabs(value);
    if (magnitude <= 0.01 || magnitude >= 1000) return Scientific(value);
    return Fixed(value);
}

std::string FormatCoordinatePair(double x, double y) {
    return "(" + FormatCoordinate(x) + " ; " + FormatCoordinate(y) + ")";
}
