#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "ftp/ftp_text_helpers.h"
#include "ftpclient/ftp_test_support.h"

TEST(FtpTextHelpers, ParseIntegerReadsSignedNumbersAndStopsAtTheFirstNonDigit) {
    const char* text = "  -42abc";
    std::int32_t n = 7;
    const char* after = ParseInteger(text, n);
    EXPECT_EQ(n, -42);
    EXPECT_EQ(after, text + 5);

    n = 7;
    EXPECT_EQ(ParseInteger(nullptr, n), nullptr);
    EXPECT_EQ(n, 0);

    // No digits: 0, and the position after the sign.
    const char* sign = " +x";
    EXPECT_EQ(ParseInteger(sign, n), sign + 2);
    EXPECT_EQ(n, 0);

    // A reply code followed by its separator.
    const char* reply = "230-Welcome";
    EXPECT_EQ(*ParseInteger(reply, n), '-');
    EXPECT_EQ(n, 230);

    // Sizes beyond 32 bits are read whole; numbers beyond 64 bits stop at the limit of
    // their sign, and a 32-bit reader gets the 32-bit limit.
    std::int64_t wide = 0;
    ParseInteger("213 4294967297", wide);
    EXPECT_EQ(wide, 213);
    ParseInteger("4294967297", wide);
    EXPECT_EQ(wide, 4294967297LL);
    ParseInteger("99999999999999999999999", wide);
    EXPECT_EQ(wide, std::numeric_limits<std::int64_t>::max());
    ParseInteger("-99999999999999999999999", wide);
    EXPECT_EQ(wide, std::numeric_limits<std::int64_t>::min());
    ParseInteger("4294967297", n);
    EXPECT_EQ(n, std::numeric_limits<std::int32_t>::max());
    ParseInteger("-4294967297", n);
    EXPECT_EQ(n, std::numeric_limits<std::int32_t>::min());
}

TEST(FtpTextHelpers, ParseQuotedUndoublesQuotesAndReturnsThePositionAfterTheText) {
    const std::string reply = "257 \"/a\"\"b\" is current";
    std::int32_t code = 0;
    const char* afterCode = ParseInteger(reply.c_str(), code);
    std::string text;
    const char* after = ParseQuoted(afterCode, text);
    EXPECT_EQ(text, "/a\"b");
    EXPECT_EQ(after, reply.c_str() + 11);
    EXPECT_EQ(*after, ' ');

    // No opening quote: empty text, the position of the first non-blank.
    const char* plain = "   word";
    text = "old";
    EXPECT_EQ(ParseQuoted(plain, text), plain + 3);
    EXPECT_EQ(text, "");

    // An unclosed text ends at the end of the string.
    const char* open = "\"abc";
    EXPECT_EQ(ParseQuoted(open, text), open + 4);
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(ParseQuoted(nullptr, text), nullptr);
}

TEST(FtpTextHelpers, ParseWordReadsBlankSeparatedWordsInTurn) {
    const char* text = "  first  second";
    std::string word;
    const char* after = ParseWord(text, word);
    EXPECT_EQ(word, "first");
    ParseWord(after, word);
    EXPECT_EQ(word, "second");

    // Only the blank ends a word.
    ParseWord("a\tb c", word);
    EXPECT_EQ(word, "a\tb");
    EXPECT_EQ(ParseWord(nullptr, word), nullptr);
    EXPECT_EQ(word, "");
}

TEST(FtpTextHelpers, ParseMdtmTimestampReadsDateAndTimeAndRejectsBadStamps) {
    double expected = 0;
    ASSERT_TRUE(EncodeFtpDateTime(2009, 1, 31, 12, 0, 0, 0, expected));
    EXPECT_DOUBLE_EQ(expected, 39844.5);  // days since 30 December 1899
    EXPECT_DOUBLE_EQ(ParseMdtmTimestamp("20090131120000"), 39844.5);
    EXPECT_DOUBLE_EQ(ParseMdtmTimestamp("20090131120000.250"), 39844.5 + 250.0 / 86400000.0);

    EXPECT_EQ(ParseMdtmTimestamp("2009013112000"), 0);    // 13 characters
    EXPECT_EQ(ParseMdtmTimestamp("20091331120000"), 0);   // month 13
    EXPECT_EQ(ParseMdtmTimestamp("20090100120000"), 0);   // day 0
    EXPECT_EQ(ParseMdtmTimestamp("20090230120000"), -1);  // 30 February
    EXPECT_EQ(ParseMdtmTimestamp("20090431120000"), -1);  // 31 April
    EXPECT_EQ(ParseMdtmTimestamp("20090131240000"), -1);  // hour 24
    EXPECT_EQ(ParseMdtmTimestamp("20090131126000"), -1);  // minute 60
    EXPECT_EQ(ParseMdtmTimestamp("2009XX31120000"), 0);   // not a number

    // Leap years.
    EXPECT_GT(ParseMdtmTimestamp("20000229000000"), 0);
    EXPECT_EQ(ParseMdtmTimestamp("19000229000000"), -1);
}

TEST(FtpTextHelpers, FormatFtpTimestampWritesTheFourteenDigitForm) {
    double value = 0;
    ASSERT_TRUE(EncodeFtpDateTime(2010, 5, 6, 7, 8, 9, 0, value));
    EXPECT_EQ(FormatFtpTimestamp(value), "20100506070809");
    ASSERT_TRUE(EncodeFtpDateTime(1999, 12, 31, 23, 59, 59, 999, value));
    EXPECT_EQ(FormatFtpTimestamp(value), "19991231235959");
    EXPECT_DOUBLE_EQ(ParseMdtmTimestamp(FormatFtpTimestamp(39844.5)), 39844.5);
}

TEST(FtpTextHelpers, GetFileSizeGivesTheSizeOrMinusOne) {
    TempFolder folder;
    const std::filesystem::path empty = folder.Path() / "empty.bin";
    const std::filesystem::path five = folder.Path() / "five.bin";
    std::ofstream(empty).close();
    std::ofstream(five, std::ios::binary) << "12345";
    EXPECT_EQ(GetFileSize(empty.string()), 0);
    EXPECT_EQ(GetFileSize(five.string()), 5);
    EXPECT_EQ(GetFileSize((folder.Path() / "missing.bin").string()), -1);
    EXPECT_EQ(GetFileSize(folder.Path().string()), -1);  // a folder is not a file
    EXPECT_EQ(GetFileSize(""), -1);
}
