#include "engine/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "engine/number_conversion.h"

std::string FormatGeneral(long double value, int digits) {
  if (digits < 1) digits = 1;
  if (digits > 18) digits = 18;
  if (value == 0) return "0";
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

  // Scientific notation rounded to the wanted digits: "-d.ddde+XX". The point is whatever
  // character follows the first digit, so the conversion's own choice cannot matter.
  char buffer[64];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1);
  if (error != std::errc{}) return "NAN";
  const char* p = buffer;
  const bool negative = *p == '-';
  if (negative) ++p;
  std::string significand;
  while (p < end && *p != 'e') {
    if (*p >= '0' && *p <= '9') significand += *p;
    ++p;
  }
  int exponent = 0;
  if (p < end) std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
  while (significand.size() > 1 && significand.back() == '0') significand.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent >= -4 && exponent < digits) {
    if (exponent < 0) {
      out += '0';
      out += DecimalSeparator;
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += significand;
    } else {
      const std::size_t integer_length = static_cast<std::size_t>(exponent) + 1;
      if (significand.size() <= integer_length) {
        out += significand;
        out.append(integer_length - significand.size(), '0');
      } else {
        out += significand.substr(0, integer_length);
        out += DecimalSeparator;
        out += significand.substr(integer_length);
      }
    }
    return out;
  }
  out += significand[0];
  if (significand.size() > 1) {
    out += DecimalSeparator;
    out += significand.substr(1);
  }
  out += 'E';
  if (exponent < 0) out += '-';
  char exponent_digits[16];
  out.append(exponent_digits,
             std::to_chars(exponent_digits, exponent_digits + sizeof exponent_digits, std::abs(exponent)).ptr);
  return out;
}
