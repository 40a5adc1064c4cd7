#include "cli/DateRangeOption.h"

#include <optional>
#include <vector>

#include "cli/DateOptions.h"
#include "cli/OutputBuffer.h"
#include "insight/MarkTotals.h"
#include "log/LogEntry.h"
#include "stats/RowKey.h"

namespace pq::cli {

namespace {

int DayNumberOf(const CalendarDate &date) {
    return DayNumber(date.Year, date.Month, date.Day);
}

} // namespace

DateRange ReadDateRange(const ArgumentList &args, std::string_view command, bool required) {
    DateRange range;
    const auto read = [&](std::string_view option, CalendarDate &date, std::string &text) {
        if (required) {
            args.RequiredValue(option);
        }
        if (const std::optional<CalendarDate> given = DateOption(args, option, command)) {
            date = *given;
            text = *args.Value(option);
        }
    };
    read(FromOptionSpec.Name, range.From, range.FromText);
    read(ThruOptionSpec.Name, range.Thru, range.ThruText);
    return range;
}

bool HasDateRange(const ArgumentList &args) {
    return args.Has(FromOptionSpec.Name) || args.Has(ThruOptionSpec.Name);
}

void WarnIfReversed(const DateRange &range, std::string_view command, OutputBuffer &err) {
    if (DayNumberOf(range.From) > DayNumberOf(range.Thru)) {
        err.Append("pquil: warning: " + std::string(command) + ": --from " + range.FromText + " is after --thru " +
                   range.ThruText + ", so no day is in the range");
        err.EndLine();
    }
}

bool InDateRange(const DateRange &range, std::string_view date) {
    const std::optional<int> day = KeyDayNumber(date);
    return day && *day >= DayNumberOf(range.From) && *day <= DayNumberOf(range.Thru);
}

LogList RowsInRange(const LogList &list, const DateRange &range) {
    std::vector<int> rows;
    for (int row = 0; row < list.RowCount(); ++row) {
        if (InDateRange(range, list.Text(row, DateColumn))) {
            rows.push_back(row);
        }
    }
    return SelectRows(list, rows);
}

} // namespace pq::cli
