#pragma once

#include <string>
#include <string_view>

#include "cli/ArgumentList.h"
#include "log/LogList.h"
#include "stats/StatsCalendar.h"

namespace pq::cli {

class OutputBuffer;

inline constexpr OptionSpec FromOptionSpec{"--from", true};
inline constexpr OptionSpec ThruOptionSpec{"--thru", true};

// The days from --from through --thru, both included, as the statistics dialog's From/Thru takes them.
struct DateRange {
    CalendarDate From;
    CalendarDate Thru{2079, 12, 31};
    std::string FromText = "1980/01/01"; // as given, or the first day a log can hold
    std::string ThruText = "2079/12/31"; // as given, or the last day
};

// The range of --from and --thru, each checked as the entry editor checks its Date field. With required, both
// must be given; otherwise a missing one leaves its end of the range at the first or last day a log can hold.
// Throws a usage error naming the command for a date that is refused.
DateRange ReadDateRange(const ArgumentList &args, std::string_view command, bool required);

// Whether either option was given.
bool HasDateRange(const ArgumentList &args);

// Says on err when From is after Thru, so that an empty result is not taken for a period without running.
void WarnIfReversed(const DateRange &range, std::string_view command, OutputBuffer &err);

// Whether a row with this Date text is dated inside the range: the statistics would count its day in it. A row
// without a date is not.
bool InDateRange(const DateRange &range, std::string_view date);

// The rows dated inside the range, in list order: those whose day number the statistics would count in it. Rows
// without a date are left out.
LogList RowsInRange(const LogList &list, const DateRange &range);

} // namespace pq::cli
