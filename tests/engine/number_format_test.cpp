#include <gtest/gtest.h>

#include "engine/number_format.h"
#include "engine/number_conversion.h"

namespace {

TEST(FormatGeneral, FifteenDigits) {
  EXPECT_EQ(FormatGeneral(0, 15), "0");
  EXPECT_EQ(FormatGeneral(-0.0, 15), "0");
  EXPECT_EQ(FormatGeneral(0.0001, 15), "0,0001");
  EXPECT_EQ(FormatGeneral(0.00001, 15), "1E-5");
  EXPECT_EQ(FormatGeneral(999999999999999.0, 15), "999999999999999");
  EXPECT_EQ(FormatGeneral(1e15, 15), "1E15");
  EXPECT_EQ(FormatGeneral(9999999999999999.0, 15), "1E16");  // rounds up past 10^15
  EXPECT_EQ(FormatGeneral(1.5e-7, 15), "1,5E-7");
  EXPECT_EQ(FormatGeneral(0.1 + 0.2, 15), "0,3");
  EXPECT_EQ(FormatGeneral(1e20, 15), "1E20");
  EXPECT_EQ(FormatGeneral(1.5e20, 15), "1,5E20");
  EXPECT_EQ(FormatGeneral(-12.5, 15), "-12,5");
  EXPECT_EQ(FormatGeneral(100, 15), "100");
  EXPECT_EQ(FormatGeneral(3.141592653589793, 15), "3,14159265358979");
  EXPECT_EQ(FormatGeneral(-0.000123, 15), "-0,000123");
  EXPECT_EQ(FormatGeneral(1e-300, 15), "1E-300");
  EXPECT_EQ(FormatGeneral(2.5e300L * 1e300L, 15), "2,5E600");
}

TEST(FormatGeneral, SixDigits) {
  EXPECT_EQ(FormatGeneral(3.141592653589793, 6), "3,14159");
  EXPECT_EQ(FormatGeneral(123456, 6), "123456");
  EXPECT_EQ(FormatGeneral(1234567, 6), "1,23457E6");
  EXPECT_EQ(FormatGeneral(999999.5, 6), "1E6");
  EXPECT_EQ(FormatGeneral(0.000123456789, 6), "0,000123457");
  EXPECT_EQ(FormatGeneral(-0.00001234, 6), "-1,234E-5");
  EXPECT_EQ(FormatGeneral(2.0 / 3.0, 6), "0,666667");
}

TEST(FormatGeneral, ReadsBackToFifteenDigits) {
  for (double v : {0.1, -2.5e-9, 123456.789, 6.02214076e23, 1.0 / 3.0, -7e-5}) {
    const double back = ParseFloatOrZero(FormatGeneral(v, 15));
    EXPECT_NEAR(back, v, std::abs(v) * 1e-14) << v;
  }
}

}  // namespace
