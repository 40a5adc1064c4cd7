#include "cli/DateOptions.h"

#include <string>

#include "calc/DateRules.h"
#include "cli/ArgumentList.h"
#include "cli/CliError.h"

namespace pq::cli {

int WeekStartOption(const ArgumentList &args, std::string_view command) {
    const std::optional<std::string_view> value = args.Value("--week-start");
    if (!value) {
        return DefaultWeekStart;
    }
    const std::optional<int> day = WeekdayOfName(*value);
    if (!day) {
        throw CliError(ExitUsage, std::string(command) + ": --week-start '" + std::string(*value) +
                                      "': not one day of monday to sunday (or an unambiguous beginning of one)");
    }
    return *day;
}

std::optional<CalendarDate> DateOption(const ArgumentList &args, std::string_view option, std::string_view command) {
    const std::optional<std::string_view> text = args.Value(option);
    if (!text) {
        return std::nullopt;
    }
    const DateValidation check = ValidateDateText(*text);
    const std::string what = std::string(command) + ": " + std::string(option) + " '" + std::string(*text) + "': ";
    if (text->empty()) {
        throw CliError(ExitUsage, what + "a date yyyy/mm/dd is required");
    }
    if (check.Result == DateCheck::ImproperDateFormat) {
        throw CliError(ExitUsage, what + std::string(ImproperDateFormatMessage));
    }
    if (check.Result == DateCheck::InvalidDate) {
        throw CliError(ExitUsage, what + std::string(InvalidDateMessage));
    }
    CivilDate date;
    ReadDateText(*text, date);
    return CalendarDate{date.Year, date.Month, date.Day};
}

int TodayOption(const ArgumentList &args, std::string_view command) {
    if (const std::optional<CalendarDate> date = DateOption(args, "--today", command)) {
        return DayNumber(date->Year, date->Month, date->Day);
    }
    const CivilDate today = TodayDate();
    return DayNumber(today.Year, today.Month, today.Day);
}

} // namespace pq::cli
