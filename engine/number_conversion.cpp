#include "engine/number_conversion.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "engine/text_helpers.h"

namespace {

// The pieces of a number text accepted by the locale conversion, rewritten in the form
// that std::from_chars reads ("-123.45e-6").
struct ScannedNumber {
  std::string plain;          // sign, mantissa with ".", "e" and exponent
  bool has_digits = false;    // the mantissa holds at least one digit
  bool nonzero = false;       // ... and one of them is not 0
  long long magnitude = 0;    // rough decimal exponent of the value, when nonzero
};

bool ScanLocaleNumber(std::string_view text, ScannedNumber& out) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') out.plain += '-';
    ++i;
  }
  bool separator = false;
  long long integer_digits = 0;       // significant integer digits (after leading zeros)
  long long leading_fraction_zeros = 0;
  bool seen_nonzero = false;
  std::string mantissa;
  while (i < n && (IsDigit(text[i]) || (text[i] == DecimalSeparator && !separator))) {
    const char c = text[i];
    if (c == DecimalSeparator) {
      separator = true;
      mantissa += '.';
    } else {
      out.has_digits = true;
      mantissa += c;
      if (c != '0') seen_nonzero = true;
      if (!separator && seen_nonzero) ++integer_digits;
      if (separator && !seen_nonzero) ++leading_fraction_zeros;
    }
    ++i;
  }
  if (!out.has_digits && !separator) return false;
  long long exponent = 0;
  std::string exponent_text;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t first = i;
    while (i < n && IsDigit(text[i])) {
      if (exponent < 1000000000) exponent = exponent * 10 + (text[i] - '0');
      ++i;
    }
    if (i == first) return false;
    if (negative) exponent = -exponent;
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, exponent);
    exponent_text = "e" + std::string(digits, written.ptr);
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n) return false;
  out.nonzero = seen_nonzero;
  out.magnitude = (integer_digits > 0 ? integer_digits : -leading_fraction_zeros) + exponent;
  if (!out.has_digits) mantissa = "0";
  if (mantissa.front() == '.') mantissa.insert(mantissa.begin(), '0');
  if (mantissa.back() == '.') mantissa.pop_back();
  out.plain += mantissa + exponent_text;
  return true;
}

}  // namespace

double ParseLocaleNumber(std::string_view text) {
  ScannedNumber number;
  if (!ScanLocaleNumber(text, number)) throw ConversionError(text);
  const bool negative = !number.plain.empty() && number.plain[0] == '-';
  if (!number.nonzero) return negative ? -0.0 : 0.0;
  const char* first = number.plain.data();
  const char* last = first + number.plain.size();
  double value = 0;
  auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc{} && end == last) return value;
  if (error != std::errc::result_out_of_range) throw ConversionError(text);
  // Beyond the double range: within the 80-bit range an overflow is a fault of the
  // narrowing, beyond it the text is refused; below the range the value fades to 0.
  long double extended = 0;
  auto [end80, error80] = std::from_chars(first, last, extended);
  if (error80 == std::errc{} && end80 == last) {
    if (std::fabs(extended) > DBL_MAX) throw FloatOverflowError();
    return static_cast<double>(extended);
  }
  if (number.magnitude > 0) throw ConversionError(text);
  return negative ? -0.0 : 0.0;
}

double ParseNumber(std::string_view text) {
  std::string local(text);
  if (auto dot = local.find('.'); dot != std::string::npos) local[dot] = DecimalSeparator;
  return ParseLocaleNumber(local);
}

double ParseFloatOrZero(std::string_view text) {
  std::string local(text);
  if (auto dot = local.find('.'); dot != std::string::npos) local[dot] = DecimalSeparator;
  if (local.empty()) return 0;
  for (char c : local) {
    if (!IsDigit(c) && c != DecimalSeparator && c != '-' && c != 'E' && c != 'e') return 0;
  }
  return ParseLocaleNumber(local);
}

int ParseDecimalInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) throw IntegerConversionError(text);
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) throw IntegerConversionError(text);
    value = value * 10 + (text[i] - '0');
    if (value > 2147483648LL) throw IntegerConversionError(text);
  }
  if (negative) value = -value;
  if (value > 2147483647LL) throw IntegerConversionError(text);
  return static_cast<int>(value);
}
