#pragma once
// Small readers that pick values out of FTP reply lines, the size of a local file and
// the time stamp of MDTM replies.
//
// The readers walk a NUL-terminated byte string through a read position; a null
// position stands for no text. Each returns the position after what it read, so that
// readers can be chained along one reply line.
#include <cstdint>
#include <string>

// The first position that is not a blank, tab, CR or LF; null for a null position.
// Whether the text holds a CR, an LF or a NUL, which would end a command line early and
// start another one: no such text may go into a command.
bool HoldsLineBreak(const std::string& Text);

const char* SkipSpaces(const char* Position);

// Reads an optionally signed decimal number after leading blanks into N (0 when there
// are no digits; a number beyond the 64-bit range saturates at the limit of its sign).
// Returns the position of the first byte after the digits, or after the sign when no
// digit follows it.
const char* ParseInteger(const char* Position, std::int64_t& N);
// The same, saturated to the 32-bit range (reply codes).
const char* ParseInteger(const char* Position, std::int32_t& N);

// Reads a double-quoted text after leading blanks into S; a doubled quote inside
// stands for one quote. Without an opening quote S is empty and the position of the
// first non-blank is returned; otherwise the position after the closing quote (or of
// the end of the string when the text is not closed).
const char* ParseQuoted(const char* Position, std::string& S);

// Reads the next word (bytes up to a blank or the end) after leading blanks into S.
// Only the blank ends a word: a tab, CR or LF inside it is kept. Returns the position of
// the blank that ends it (or of the end).
const char* ParseWord(const char* Position, std::string& S);

// The size in bytes of the regular file Name, or -1 when there is no such file.
std::int64_t GetFileSize(const std::string& Name);

// The moment an MDTM time stamp "yyyymmddhhnnss[.zzz]" stands for, as days since
// 30 December 1899 with the time of day as the fraction. 0 when the text is too short,
// a field is not a number, or the month or day is out of range; -1 when the date or the
// time does not exist.
double ParseMdtmTimestamp(const std::string& S);

// The date-time value of a calendar date and time of day; false when the date or the
// time does not exist.
bool EncodeFtpDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second, int Millisecond,
                       double& Result);

// A date-time value as "yyyymmddhhnnss" (four-digit year, two digits for the rest).
std::string FormatFtpTimestamp(double DateTime);
