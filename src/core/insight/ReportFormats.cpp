#include "insight/ReportFormats.h"

#include <algorithm>
#include <cmath>

#include "stats/StatsCalendar.h"

namespace pq {

namespace {

constexpr long long SecondsPerMinute = 60;
constexpr long long SecondsPerHour = 3600;
constexpr int TwoDigits = 10;
// Times beyond this (about 317 years) are not run times; they are shown as this many seconds.
constexpr double LargestSeconds = 1e10;

long long WholeSeconds(double seconds) {
    return std::llround(std::min(seconds, LargestSeconds));
}

void AppendTwoDigits(std::string &text, long long value) {
    if (value < TwoDigits) {
        text += '0';
    }
    text += std::to_string(value);
}

} // namespace

std::string ClockText(double seconds) {
    const long long whole = seconds > 0 ? WholeSeconds(seconds) : 0;
    std::string text = std::to_string(whole / SecondsPerHour) + ':';
    AppendTwoDigits(text, whole % SecondsPerHour / SecondsPerMinute);
    text += ':';
    AppendTwoDigits(text, whole % SecondsPerMinute);
    return text;
}

std::string PaceText(double seconds, double distance) {
    if (!(seconds > 0) || !(distance > 0)) {
        return {};
    }
    const long long whole = WholeSeconds(seconds / distance);
    std::string text = std::to_string(whole / SecondsPerMinute) + ':';
    AppendTwoDigits(text, whole % SecondsPerMinute);
    return text;
}

std::string DayText(int dayNumber) {
    const CalendarDate date = DateOfDayNumber(dayNumber);
    std::string text = std::to_string(date.Year) + '/';
    AppendTwoDigits(text, date.Month);
    text += '/';
    AppendTwoDigits(text, date.Day);
    return text;
}

double DistanceIn(const RunTotals &totals, DistanceUnit unit) {
    return unit == DistanceUnit::Miles ? totals.Miles : totals.Kilometers;
}

double DistanceIn(const CountedRun &run, DistanceUnit unit) {
    return unit == DistanceUnit::Miles ? run.Miles : run.Kilometers;
}

} // namespace pq
