#pragma once

#include "core/LocalDateTime.h"

#include <cstdint>
#include <optional>

namespace quillory::ads {

// Advantage stores dates as Julian day numbers (2440588 = 1970-01-01) and times of day as
// milliseconds since midnight.
constexpr std::int64_t kJulianDayOf1970 = 2440588;
constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

// The date of a Julian day number; nothing outside the years 1 to 9999, which no real table holds
// and which would not sort as 'yyyy-mm-dd' text.
std::optional<LocalDateTime> dateFromJulianDay(std::int64_t julianDay);
std::int64_t julianDayFromDate(int year, int month, int day);

// Adds the time of day to date; nothing when milliseconds is not a time of day.
std::optional<LocalDateTime> withTimeOfDay(LocalDateTime date, std::int64_t milliseconds);
std::int64_t millisecondsOfDay(const LocalDateTime& t);

// Text forms written into buffer (at least 24 bytes); each returns the length written.
int formatDate(const LocalDateTime& t, char* buffer);                    // yyyy-mm-dd
int formatTime(const LocalDateTime& t, bool withMsec, char* buffer);     // hh:nn:ss[.zzz]
int formatDateTime(const LocalDateTime& t, bool withMsec, char* buffer); // date blank time

} // namespace quillory::ads
