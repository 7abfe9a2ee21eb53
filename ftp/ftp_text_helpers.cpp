#include "ftp/ftp_text_helpers.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include "engine/text_helpers.h"

namespace {

bool IsBlankOrLineEnd(char Ch) {
    return Ch == ' ' || Ch == '\t' || Ch == '\r' || Ch == '\n';
}

// Days from 1 March of year 0 style civil arithmetic: the day number of a date in the
// proleptic Gregorian calendar, 0 being 1970-01-01.
long long DaysFromCivil(long long Year, unsigned Month, unsigned Day) {
    Year -= Month <= 2 ? 1 : 0;
    const long long era = (Year >= 0 ? Year : Year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(Year - era * 400);
    const unsigned dayOfYear = (153 * (Month > 2 ? Month - 3 : Month + 9) + 2) / 5 + Day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

void CivilFromDays(long long Days, long long& Year, unsigned& Month, unsigned& Day) {
    Days += 719468;
    const long long era = (Days >= 0 ? Days : Days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(Days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    Day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    Month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    Year = static_cast<long long>(yearOfEra) + era * 400 + (Month <= 2 ? 1 : 0);
}

// The day number of 30 December 1899, day 0 of the date-time values.
const long long kDateTimeEpoch = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int Year) {
    return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
}

int DaysInMonth(int Year, int Month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return Month == 2 && IsLeapYear(Year) ? 29 : kDays[Month - 1];
}

// Reads the characters First..Last (1-based) of S as a decimal integer with an optional
// sign; false when they are not such a number.
bool ReadField(const std::string& S, std::size_t First, std::size_t Last, int& Value) {
    const char* begin = S.data() + (First - 1);
    const char* end = S.data() + Last;
    if (begin < end && *begin == '+') ++begin;
    const std::from_chars_result result = std::from_chars(begin, end, Value);
    return result.ec == std::errc() && result.ptr == end;
}

void AppendDigits(std::string& Out, long long Value, int Width) {
    char digits[24];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, Value < 0 ? -Value : Value);
    const int count = static_cast<int>(result.ptr - digits);
    if (Value < 0) Out += '-';
    for (int i = count; i < Width; ++i) Out += '0';
    Out.append(digits, result.ptr);
}

}  // namespace

bool HoldsLineBreak(const std::string& Text) {
    return Text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

const char* SkipSpaces(const char* Position) {
    if (!Position) return nullptr;
    while (IsBlankOrLineEnd(*Position)) ++Position;
    return Position;
}

const char* ParseInteger(const char* Position, std::int64_t& N) {
    N = 0;
    Position = SkipSpaces(Position);
    if (!Position) return Position;
    bool negative = false;
    if (*Position == '+' || *Position == '-') {
        negative = *Position == '-';
        ++Position;
    }
    // An over-long number stops at the limit of its sign instead of wrapping.
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    bool saturated = false;
    while (IsDigit(*Position)) {
        const int digit = *Position - '0';
        if (!saturated && value > (limit - digit) / 10) saturated = true;
        if (!saturated) value = value * 10 + digit;
        ++Position;
    }
    if (saturated) value = limit;
    N = negative ? (saturated ? std::numeric_limits<std::int64_t>::min() : -value) : value;
    return Position;
}

const char* ParseInteger(const char* Position, std::int32_t& N) {
    std::int64_t wide = 0;
    Position = ParseInteger(Position, wide);
    if (wide > std::numeric_limits<std::int32_t>::max())
        N = std::numeric_limits<std::int32_t>::max();
    else if (wide < std::numeric_limits<std::int32_t>::min())
        N = std::numeric_limits<std::int32_t>::min();
    else
        N = static_cast<std::int32_t>(wide);
    return Position;
}

const char* ParseQuoted(const char* Position, std::string& S) {
    S.clear();
    Position = SkipSpaces(Position);
    if (!Position || *Position != '"') return Position;
    ++Position;
    while (*Position) {
        if (*Position == '"') {
            if (Position[1] != '"') return Position + 1;
            S += '"';
            Position += 2;
            continue;
        }
        S += *Position;
        ++Position;
    }
    return Position;
}

const char* ParseWord(const char* Position, std::string& S) {
    S.clear();
    Position = SkipSpaces(Position);
    if (!Position) return Position;
    while (*Position == ' ') ++Position;
    const char* start = Position;
    while (*Position && *Position != ' ') ++Position;
    S.assign(start, Position);
    return Position;
}

std::int64_t GetFileSize(const std::string& Name) {
    if (Name.empty()) return -1;
    std::error_code error;
    const std::filesystem::path path(Name);
    if (!std::filesystem::is_regular_file(path, error)) return -1;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return -1;
    if (size > static_cast<std::uintmax_t>(std::numeric_limits<std::int64_t>::max()))
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(size);
}

namespace {

bool EncodeDate(int Year, int Month, int Day, double& Result) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
        return false;
    Result = static_cast<double>(
        DaysFromCivil(Year, static_cast<unsigned>(Month), static_cast<unsigned>(Day)) - kDateTimeEpoch);
    return true;
}

bool EncodeTime(int Hour, int Minute, int Second, int Millisecond, double& Result) {
    if (Hour < 0 || Hour > 23 || Minute < 0 || Minute > 59 || Second < 0 || Second > 59 || Millisecond < 0 ||
        Millisecond > 999)
        return false;
    const long long milliseconds = ((Hour * 60LL + Minute) * 60LL + Second) * 1000LL + Millisecond;
    Result = static_cast<double>(milliseconds) / 86400000.0;
    return true;
}

}  // namespace

bool EncodeFtpDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second, int Millisecond,
                       double& Result) {
    double date = 0, time = 0;
    if (!EncodeDate(Year, Month, Day, date) || !EncodeTime(Hour, Minute, Second, Millisecond, time)) return false;
    Result = date + time;
    return true;
}

double ParseMdtmTimestamp(const std::string& S) {
    if (S.size() < 14) return 0;
    int year = 0, month = 0, day = 0;
    if (!ReadField(S, 1, 4, year) || !ReadField(S, 5, 6, month)) return 0;
    if (month == 0 || month > 12) return 0;
    if (!ReadField(S, 7, 8, day)) return 0;
    if (day == 0 || day > 31) return 0;
    double date = 0;
    if (!EncodeDate(year, month, day, date)) return -1;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    if (!ReadField(S, 9, 10, hour) || !ReadField(S, 11, 12, minute) || !ReadField(S, 13, 14, second)) return 0;
    // Character 15 separates the fraction; it is not checked.
    if (S.size() >= 18 && !ReadField(S, 16, 18, millisecond)) return 0;
    double time = 0;
    if (!EncodeTime(hour, minute, second, millisecond, time)) return -1;
    return date + time;
}

std::string FormatFtpTimestamp(double DateTime) {
    long long days = static_cast<long long>(std::floor(DateTime));
    long long milliseconds = std::llround((DateTime - static_cast<double>(days)) * 86400000.0);
    if (milliseconds >= 86400000LL) {
        ++days;
        milliseconds -= 86400000LL;
    }
    long long year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days + kDateTimeEpoch, year, month, day);
    const long long seconds = milliseconds / 1000;
    std::string text;
    AppendDigits(text, year, 4);
    AppendDigits(text, month, 2);
    AppendDigits(text, day, 2);
    AppendDigits(text, seconds / 3600, 2);
    AppendDigits(text, seconds / 60 % 60, 2);
    AppendDigits(text, seconds % 60, 2);
    return text;
}
