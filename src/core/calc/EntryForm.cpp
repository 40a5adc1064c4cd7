#include "calc/EntryForm.h"

#include <algorithm>
#include <array>

#include "calc/DateRules.h"
#include "calc/RunArithmetic.h"

namespace pq {

namespace {

constexpr char UnitSeparator = ' ';
constexpr char DecimalPoint = '.';
constexpr char TimePartSeparator = ':';
// Hours, minutes and seconds are each written with at least two digits ("00" when empty, "0" put before one).
constexpr std::size_t MinimumTimePartDigits = 2;
constexpr std::size_t TimeParts = 3;

constexpr std::array EditorUnits = {DistanceUnit::Miles, DistanceUnit::Kilometers, DistanceUnit::Marathons};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

// Digits with at most one point, at least one digit: 5, 5.25, .5 and 5. (the editor stores what was typed).
bool IsPlainNumber(std::string_view text) {
    const std::size_t point = text.find(DecimalPoint);
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    return whole.size() + fraction.size() > 0 && AllDigits(whole) && AllDigits(fraction);
}

} // namespace

std::optional<std::string> CheckDateForm(std::string_view date) {
    if (date == NoDateText) {
        return std::nullopt;
    }
    switch (ValidateDateText(date).Result) {
    case DateCheck::Accepted:
        // An empty Date field means "No Date" in the editor; a row holds the words themselves.
        if (date.empty()) {
            return "empty; a row without a date holds the words No Date";
        }
        return std::nullopt;
    case DateCheck::ImproperDateFormat:
        return "not a date of the form yyyy/mm/dd (four-digit year, two-digit month and day), nor No Date";
    case DateCheck::InvalidDate:
        return "not a day of the calendar between 1980/01/01 and 2079/12/31";
    }
    return std::nullopt;
}

std::optional<std::string> CheckDistanceForm(std::string_view distance) {
    const std::size_t blank = distance.find(UnitSeparator);
    if (blank == std::string_view::npos) {
        return "a number, a blank and a unit word are needed, as in 5 Miles";
    }
    if (!IsPlainNumber(distance.substr(0, blank))) {
        return "the distance before the blank is not a number (digits with at most one point)";
    }
    const std::string_view word = distance.substr(blank + 1);
    const bool known = std::any_of(EditorUnits.begin(), EditorUnits.end(),
                                   [word](DistanceUnit unit) { return UnitWord(unit) == word; });
    if (!known) {
        return "the unit after the number is not one of Miles, Kilometers and Marathons";
    }
    return std::nullopt;
}

std::optional<std::string> CheckTimeForm(std::string_view time) {
    std::array<std::string_view, TimeParts> parts;
    std::size_t start = 0;
    for (std::size_t part = 0; part < TimeParts; ++part) {
        const std::size_t end = part + 1 < TimeParts ? time.find(TimePartSeparator, start) : time.size();
        if (end == std::string_view::npos) {
            return "not a time of the form hh:mm:ss";
        }
        parts[part] = time.substr(start, end - start);
        start = end + 1;
    }
    const std::size_t point = parts[2].find(DecimalPoint);
    const std::string_view seconds = parts[2].substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view("0") : parts[2].substr(point + 1);
    parts[2] = seconds;
    const bool wellFormed =
        std::all_of(parts.begin(), parts.end(),
                    [](std::string_view part) { return part.size() >= MinimumTimePartDigits && AllDigits(part); }) &&
        !decimals.empty() && AllDigits(decimals);
    if (!wellFormed) {
        return "not a time of the form hh:mm:ss (two or more digits each, decimals after the seconds allowed)";
    }
    return std::nullopt;
}

std::optional<EntryFault> CheckEntryForm(const LogEntry &entry) {
    using Check = std::optional<std::string> (*)(std::string_view);
    const std::array<std::pair<LogColumn, Check>, 3> checks = {
        std::pair{DateColumn, &CheckDateForm}, {DistanceColumn, &CheckDistanceForm}, {TimeColumn, &CheckTimeForm}};
    for (const auto &[column, check] : checks) {
        if (std::optional<std::string> reason = check(entry.Field(column))) {
            return EntryFault{column, std::move(*reason)};
        }
    }
    return std::nullopt;
}

} // namespace pq
