#include "platform/ads/AdtCalendar.h"

namespace quillory::ads {
namespace {

constexpr std::int64_t kFirstJulianDay = 1721426; // 0001-01-01
constexpr std::int64_t kLastJulianDay = 5373484;  // 9999-12-31

// Days since 1970-01-01 to a civil date and back (proleptic Gregorian calendar).
void civilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

char* putDigits(char* out, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

} // namespace

std::optional<LocalDateTime> dateFromJulianDay(std::int64_t julianDay) {
    if (julianDay < kFirstJulianDay || julianDay > kLastJulianDay)
        return std::nullopt;
    LocalDateTime t;
    civilFromDays(julianDay - kJulianDayOf1970, t.year, t.month, t.day);
    return t;
}

std::int64_t julianDayFromDate(int year, int month, int day) {
    return daysFromCivil(year, month, day) + kJulianDayOf1970;
}

std::optional<LocalDateTime> withTimeOfDay(LocalDateTime date, std::int64_t milliseconds) {
    if (milliseconds < 0 || milliseconds >= kMillisecondsPerDay)
        return std::nullopt;
    date.hour = int(milliseconds / 3'600'000);
    date.minute = int(milliseconds / 60'000 % 60);
    date.second = int(milliseconds / 1000 % 60);
    date.msec = int(milliseconds % 1000);
    return date;
}

std::int64_t millisecondsOfDay(const LocalDateTime& t) {
    return ((std::int64_t(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.msec;
}

int formatDate(const LocalDateTime& t, char* buffer) {
    char* out = putDigits(buffer, t.year, 4);
    *out++ = '-';
    out = putDigits(out, t.month, 2);
    *out++ = '-';
    out = putDigits(out, t.day, 2);
    *out = '\0';
    return int(out - buffer);
}

int formatTime(const LocalDateTime& t, bool withMsec, char* buffer) {
    char* out = putDigits(buffer, t.hour, 2);
    *out++ = ':';
    out = putDigits(out, t.minute, 2);
    *out++ = ':';
    out = putDigits(out, t.second, 2);
    if (withMsec) {
        *out++ = '.';
        out = putDigits(out, t.msec, 3);
    }
    *out = '\0';
    return int(out - buffer);
}

int formatDateTime(const LocalDateTime& t, bool withMsec, char* buffer) {
    const int length = formatDate(t, buffer);
    buffer[length] = ' ';
    return length + 1 + formatTime(t, withMsec, buffer + length + 1);
}

} // namespace quillory::ads
