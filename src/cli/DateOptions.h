#pragma once

#include <optional>
#include <string_view>

#include "stats/StatsCalendar.h"

namespace pq::cli {

class ArgumentList;

// Options that name a day of the week or a date, shared by the commands that take them. `command` names the
// command in error messages ("stats weekly").

// The first day of a week when no option or profile sets one: Monday.
inline constexpr int DefaultWeekStart = 0;

// --week-start DAY: monday (the default) to sunday, or an unambiguous beginning of one in any case; 0 Monday to
// 6 Sunday.
int WeekStartOption(const ArgumentList &args, std::string_view command);

// A date option, checked as the entry editor checks its Date field; nothing when it was not given. An empty
// text is refused because the option needs a real day.
std::optional<CalendarDate> DateOption(const ArgumentList &args, std::string_view option, std::string_view command);

// The day number of --today when given, otherwise of the clock's date.
int TodayOption(const ArgumentList &args, std::string_view command);

} // namespace pq::cli
