#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

#include "engine/number_conversion.h"
#include "engine/number_format.h"

namespace {

std::string ConversionMessage(const std::string& text) {
  try {
    ParseNumber(text);
  } catch (const ConversionError& error) {
    return error.what();
  }
  return "no error";
}

void ExpectConversions() {
  EXPECT_EQ(ParseNumber("2.5"), 2.5);
  EXPECT_EQ(ParseNumber("2,5"), 2.5);
  EXPECT_EQ(ParseNumber(" 3 "), 3.0);
  EXPECT_EQ(ParseNumber("+3"), 3.0);
  EXPECT_EQ(ParseNumber("-3"), -3.0);
  EXPECT_EQ(ParseNumber("1E3"), 1000.0);
  EXPECT_EQ(ParseNumber("1e-2"), 0.01);
  EXPECT_EQ(ParseNumber(",5"), 0.5);
  EXPECT_EQ(ParseNumber("5,"), 5.0);
  EXPECT_EQ(ParseNumber("0,1"), 0.1);
  EXPECT_EQ(ParseNumber("123456789012345678901234567890"), 123456789012345678901234567890.0);
  EXPECT_EQ(FormatGeneral(ParseNumber("-12.375"), 15), "-12,375");
}

TEST(ParseNumber, AcceptsTypedNumbers) { ExpectConversions(); }

TEST(ParseNumber, RefusesOtherTextsWithTheMessage) {
  EXPECT_EQ(ConversionMessage("1.2.3"), "'1,2.3' n'est pas une valeur en virgule flottante correcte");
  EXPECT_EQ(ConversionMessage(""), "'' n'est pas une valeur en virgule flottante correcte");
  EXPECT_EQ(ConversionMessage("-"), "'-' n'est pas une valeur en virgule flottante correcte");
  EXPECT_EQ(ConversionMessage("abc"), "'abc' n'est pas une valeur en virgule flottante correcte");
  for (const char* text : {"1E", "E5", "1e+", "1 2", "0x10", "1,2,3", "inf", "nan", "--1", "1E5000"}) {
    EXPECT_THROW(ParseNumber(text), ConversionError) << text;
  }
}

TEST(ParseNumber, RangeOfDoubles) {
  // Within the 80-bit range but beyond the double range: an overflow, caught with the
  // conversion errors through their common base.
  EXPECT_THROW(ParseNumber("1E400"), FloatOverflowError);
  EXPECT_THROW(ParseNumber("-1E400"), NumberError);
  EXPECT_EQ(ParseNumber("1E-400"), 0.0);
  EXPECT_EQ(ParseNumber("1E-310"), 1e-310);
  EXPECT_EQ(ParseNumber("0E99999"), 0.0);
  EXPECT_EQ(ParseNumber("1,7976931348623157E308"), 1.7976931348623157e308);
}

TEST(ParseFloatOrZero, ToleratesForeignCharacters) {
  EXPECT_EQ(ParseFloatOrZero("2.5"), 2.5);
  EXPECT_EQ(ParseFloatOrZero("2,5"), 2.5);
  EXPECT_EQ(ParseFloatOrZero(""), 0.0);
  EXPECT_EQ(ParseFloatOrZero("abc"), 0.0);
  EXPECT_EQ(ParseFloatOrZero(" 3"), 0.0);
  EXPECT_EQ(ParseFloatOrZero("+3"), 0.0);
  EXPECT_EQ(ParseFloatOrZero("1E3"), 1000.0);
  EXPECT_EQ(ParseFloatOrZero("."), 0.0);
  EXPECT_EQ(ParseFloatOrZero(","), 0.0);
  EXPECT_EQ(ParseFloatOrZero("-1,5e-1"), -0.15);
  EXPECT_THROW(ParseFloatOrZero("1,2,3"), ConversionError);
  EXPECT_THROW(ParseFloatOrZero("-"), ConversionError);
  EXPECT_THROW(ParseFloatOrZero("1E400"), FloatOverflowError);
}

TEST(ParseLocaleNumber, TakesOnlyTheComma) {
  EXPECT_EQ(ParseLocaleNumber("0,003"), 0.003);
  EXPECT_EQ(ParseLocaleNumber(" -1,5E2 "), -150.0);
  EXPECT_THROW(ParseLocaleNumber("2.5"), ConversionError);
}

TEST(ParseDecimalInteger, StrictIntegers) {
  EXPECT_EQ(ParseDecimalInteger("800"), 800);
  EXPECT_EQ(ParseDecimalInteger("-3"), -3);
  EXPECT_EQ(ParseDecimalInteger(" +20"), 20);
  EXPECT_EQ(ParseDecimalInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseDecimalInteger("-2147483648"), -2147483647 - 1);
  for (const char* text : {"", "-", "3.5", "3,5", "1e3", "12 ", "0x10", "2147483648", "99999999999999999999"}) {
    EXPECT_THROW(ParseDecimalInteger(text), IntegerConversionError) << text;
  }
  try {
    ParseDecimalInteger("3,5");
    FAIL();
  } catch (const NumberError& error) {
    EXPECT_STREQ(error.what(), "'3,5' n'est pas une valeur enti\xE8re correcte");
  }
}

// A C++ locale whose decimal point is a comma, available whatever is installed.
struct CommaPunctuation : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return ' '; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(NumberTexts, IndependentOfTheProcessLocale) {
  const std::locale saved_global;
  std::locale::global(std::locale(std::locale::classic(), new CommaPunctuation));
  ExpectConversions();
  EXPECT_EQ(FormatGeneral(1234567.5, 15), "1234567,5");
  std::locale::global(saved_global);

  const std::string saved_c = std::setlocale(LC_ALL, nullptr);
  const char* comma_locale = nullptr;
  for (const char* name : {"", "fr_FR.UTF-8", "fr_FR.utf8", "fr_FR", "de_DE.UTF-8", "de_DE.utf8", "fr_CA.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point[0] == ',') {
      comma_locale = name;
      break;
    }
  }
  if (comma_locale != nullptr) {
    ExpectConversions();
    EXPECT_EQ(FormatGeneral(0.5, 15), "0,5");
    EXPECT_EQ(ParseFloatOrZero("0.25"), 0.25);
  }
  std::setlocale(LC_ALL, saved_c.c_str());
  if (comma_locale == nullptr) {
    GTEST_SKIP() << "no C locale with a decimal comma is installed (tried LC_ALL, fr_FR, de_DE); "
                    "checked under a C++ comma locale only";
  }
}

}  // namespace
