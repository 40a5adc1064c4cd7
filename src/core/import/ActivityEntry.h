#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/RunArithmetic.h"
#include "import/Activity.h"
#include "log/LogEntry.h"

namespace pq {

inline constexpr double MetersPerMile = 1609.344;
inline constexpr double MetersPerKilometer = 1000;

// The local date (the process's time zone) of a start time as "yyyy/mm/dd"; "No Date" without a start time or
// for a date a log cannot hold (before 1980 or after 2079).
std::string ActivityDateText(std::optional<std::int64_t> start);

// The distance in the unit as the statistics write a total, a blank and the unit word: "6.21 Miles". A text that
// would not fit a log row's 15 bytes drops the hundredths, then the tenths ("42.2 Kilometers", "100 Kilometers");
// empty when even that does not fit.
std::string ActivityDistanceText(double meters, DistanceUnit unit);

// Seconds rounded to the whole second as "hh:mm:ss", the hours at least two digits ("100:00:00"); empty for a
// time that is not finite, is negative, or whose text would not fit a log row's 15 bytes.
std::string MovingTimeText(double seconds);

// The sport as shown to the user: the file's word for it, "Running" for a run that names none, else empty.
std::string SportLabel(const Activity &activity);

// The sport in words for the review: "Running" for a run that names none, "Other" for anything else that names
// none, "Cycling" for "Biking", a name with underscores as words ("trail_running" gives "Trail running"), and a
// sport given only by its number (a bare number, or a FIT sport code without a name) as "Other (9)".
std::string SportWords(const Activity &activity);

// The row's notes in Windows-1252: the activity's name, else its sport, else "None"; for a sport other than
// running the sport follows the name in brackets. Characters a log cannot hold become '?' or a blank, and the
// text is cut to the width of the notes.
std::string ActivityNotes(const Activity &activity);

// Why an activity gives no row, or a row the user must look at before it is taken.
inline constexpr std::string_view DistanceTooLong = "its distance is too long for a log row";
inline constexpr std::string_view TimeTooLong = "its time is too long for a log row";
inline constexpr std::string_view NoDistance = "no distance recorded";
inline constexpr std::string_view ClockNotSet = "its clock was not set";

// Which of an activity's times goes into its row's Time.
enum class RowTime { Moving, Elapsed };

// The row for an activity; when its distance or its time does not fit a row, the reason (and the row without
// that text).
std::string_view MakeActivityEntry(const Activity &activity, DistanceUnit unit, RowTime time, LogEntry &entry);

// What the user must look at before the activity's row is taken, empty when nothing: the reader's remark on a
// damaged file, a start the log cannot hold as a date (the device's clock was not set), no distance.
std::string ActivityRemark(const Activity &activity);

// True when the start gives a date that a log can hold.
bool HasLogDate(const Activity &activity);

} // namespace pq
