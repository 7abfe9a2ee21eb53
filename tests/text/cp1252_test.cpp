#include "platform/text/cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(text::Utf8ToCp1252(text::Cp1252ToUtf8(all)), all);
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(text::UnicodeToCp1252(text::Cp1252ToUnicode(static_cast<unsigned char>(b))), b) << b;
  }
}

TEST(Cp1252, HighBytesAndUnassignedOnes) {
  EXPECT_EQ(text::Cp1252ToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(text::Cp1252ToUnicode(0x9C), U'\u0153');
  EXPECT_EQ(text::Cp1252ToUnicode(0xE9), U'\u00E9');
  for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(text::Cp1252ToUnicode(b), char32_t{b});
  EXPECT_EQ(text::Cp1252ToUtf8("Fen\xEAtre \x80"), "Fenêtre €");
  EXPECT_EQ(text::Utf8ToCp1252("Fenêtre € œ"), "Fen\xEAtre \x80 \x9C");
}

TEST(Cp1252, UnmappableAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(text::Utf8ToCp1252("π"), "?");
  EXPECT_EQ(text::Utf8ToCp1252("a\xC3"), "a?");       // truncated sequence
  EXPECT_EQ(text::Utf8ToCp1252("\xC0\xAF"), "?");     // overlong form
  EXPECT_EQ(text::Utf8ToCp1252("\xED\xA0\x80"), "?"); // surrogate
  EXPECT_EQ(text::UnicodeToCp1252(0x3C0), -1);
}

}  // namespace
