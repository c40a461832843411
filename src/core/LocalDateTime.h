#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace quillory {

// A wall-clock date and time of the workstation, to the millisecond, without a time zone.
// Zero is 1899-12-30 00:00:00.000 and means "never" (no pull has happened yet).
struct LocalDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int msec = 0;

    static LocalDateTime zero() { return {}; }
    bool isZero() const { return *this == LocalDateTime{}; }
    bool isMidnight() const { return hour == 0 && minute == 0 && second == 0 && msec == 0; }
    // True for a real calendar date and a time of day in range.
    bool isValid() const;

    // "yyyy-mm-dd hh:nn:ss" (the fraction of the second is dropped).
    std::string toSqlText() const;

    auto operator<=>(const LocalDateTime&) const = default;
};

} // namespace quillory
