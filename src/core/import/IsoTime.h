#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pq {

// An XML date-time as GPX and TCX write it ("2026-03-01T07:05:09Z", "2026-03-01T08:05:09.250+01:00"; without a
// zone it is taken as UTC) in seconds since 1970-01-01 00:00 UTC; nothing when the text is not one. Hours run to
// 23 and minutes to 59; a leap second (second 60) reads as second 59.
std::optional<double> ParseIsoTime(std::string_view text);

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day);

} // namespace pq
