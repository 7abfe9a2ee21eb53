#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "engine/rounding.h"
#include "engine/text_helpers.h"

namespace {

TEST(RoundToTenDigits, KeepsTenOrElevenDigits) {
  EXPECT_EQ(RoundToTenDigits(0.1 + 0.2), 0.3L);  // to the last bit of the 80-bit result
  EXPECT_NEAR(static_cast<double>(RoundToTenDigits(123456789.123456)), 123456789.12, 1e-7);
  EXPECT_EQ(RoundToTenDigits(123456789.123456) * 100, 12345678912.0L);
  EXPECT_LE(fabsl(RoundToTenDigitsExt(-2.0L / 3) + 0.6666666667L), 1e-19L);
  EXPECT_LE(fabsl(RoundToTenDigitsExt(1e300L * 1.0000000000123e300L) / 1e600L - 1), 1e-18L);
  EXPECT_EQ(RoundToTenDigits(5), 5.0L);
  EXPECT_THROW(RoundToTenDigits(0), FloatZeroDivideError);
  EXPECT_THROW(RoundToTenDigits(std::numeric_limits<double>::infinity()), FloatInvalidOperationError);
  EXPECT_THROW(RoundToTenDigitsExt(std::numeric_limits<long double>::quiet_NaN()), NumberError);
}

TEST(IntegerRounding, TiesToEvenAndRaisesOutOfRange) {
  EXPECT_EQ(RoundToInt64(2.5L), 2);
  EXPECT_EQ(RoundToInt64(3.5L), 4);
  EXPECT_EQ(RoundToInt64(-2.5L), -2);
  EXPECT_EQ(RoundToInt64(-2.6L), -3);
  EXPECT_EQ(TruncToInt64(-2.7L), -2);
  // Both sides of 2^62, where the checked conversion takes over, and the ends of the range.
  EXPECT_EQ(TruncToInt64(0x1p62L - 0.75L), (std::int64_t(1) << 62) - 1);
  EXPECT_EQ(TruncToInt64(-(0x1p62L + 0.5L)), -(std::int64_t(1) << 62));
  EXPECT_EQ(TruncToInt64(-0x1p63L), std::numeric_limits<std::int64_t>::min());
  EXPECT_THROW(TruncToInt64(0x1p63L), FloatInvalidOperationError);
  EXPECT_THROW(TruncToInt64(std::numeric_limits<long double>::quiet_NaN()), FloatInvalidOperationError);
  EXPECT_EQ(RoundToInt(-7.5L), -8);
  EXPECT_EQ(RoundToInt64(-9223372036854775808.0L), std::numeric_limits<std::int64_t>::min());
  EXPECT_THROW(RoundToInt64(9223372036854775808.0L), FloatInvalidOperationError);
  EXPECT_THROW(TruncToInt64(std::numeric_limits<long double>::infinity()), FloatInvalidOperationError);
  EXPECT_THROW(RoundToInt64(std::numeric_limits<long double>::quiet_NaN()), FloatInvalidOperationError);
  EXPECT_THROW(RoundToInt(3e9L), FloatInvalidOperationError);
}

TEST(FoldAccentsUpper, FoldsByteForByte) {
  EXPECT_EQ(FoldAccentsUpper("\xE9"), "E");
  EXPECT_EQ(FoldAccentsUpper("\xE7"), "C");
  EXPECT_EQ(FoldAccentsUpper("\xEF"), "I");
  EXPECT_EQ(FoldAccentsUpper("inf"), "INF");
  EXPECT_EQ(FoldAccentsUpper("has(x)+Hasard(2)"), "HAS(X)+HASARD(2)");
  EXPECT_EQ(FoldAccentsUpper("\xD2\xD5\xDE\x8C\x9C\xC6\xE6"), "EIIEEEE");  // where the code pages disagree
  EXPECT_EQ(FoldAccentsUpper("\x82\x87\x81\xA4\xFF\xD0"), "ECUNYD");          // code page 850 letters
  EXPECT_EQ(FoldAccentsUpper("[]^_`@ 09;\xB2\xF7"), "[]^_`@ 09;\xB2\xF7");
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(FoldAccentsUpper(all).size(), 256u);
}

TEST(AddTrailingBackslash, AppendsTheFolderSeparator) {
  EXPECT_EQ(AddTrailingBackslash(""), "");
  EXPECT_EQ(AddTrailingBackslash("/home/a"), "/home/a/");
  EXPECT_EQ(AddTrailingBackslash("/home/a/"), "/home/a/");
  EXPECT_EQ(AddTrailingBackslash("C:/a"), "C:/a/");
}

}  // namespace
