#include "calc/DistanceTimeParts.h"

#include <algorithm>
#include <cmath>

#include "calc/RunArithmetic.h"

namespace pq {

namespace {

constexpr char Blank = ' ';
constexpr char TimeSeparator = ':';
constexpr double SecondsPerHour = 3600.0;
constexpr double SecondsPerMinute = 60.0;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The text from pos up to the next separator or the end; pos is left on that separator.
std::string_view TakeUntil(std::string_view text, std::size_t &pos, char separator) {
    const std::size_t end = std::min(text.find(separator, pos), text.size());
    const std::string_view part = text.substr(pos, end - pos);
    pos = end;
    return part;
}

void Skip(std::string_view text, std::size_t &pos, char separator) {
    while (pos < text.size() && text[pos] == separator) {
        ++pos;
    }
}

// Everything after the one separator at pos; empty when the text ended there.
std::string_view Rest(std::string_view text, std::size_t pos) {
    return pos < text.size() ? text.substr(pos + 1) : std::string_view();
}

} // namespace

DistanceParts SplitDistanceText(std::string_view distance) {
    std::size_t pos = 0;
    Skip(distance, pos, Blank);
    DistanceParts parts;
    parts.Number = TakeUntil(distance, pos, Blank);
    parts.UnitWord = Rest(distance, pos);
    return parts;
}

TimeParts SplitTimeText(std::string_view time) {
    std::size_t pos = 0;
    Skip(time, pos, TimeSeparator);
    TimeParts parts;
    parts.Hours = TakeUntil(time, pos, TimeSeparator);
    Skip(time, pos, TimeSeparator);
    parts.Minutes = TakeUntil(time, pos, TimeSeparator);
    parts.Seconds = Rest(time, pos);
    return parts;
}

double TimeTextSeconds(std::string_view time) {
    const TimeParts parts = SplitTimeText(time);
    const double seconds = ParseNumber(parts.Hours) * SecondsPerHour + ParseNumber(parts.Minutes) * SecondsPerMinute +
                           ParseNumber(parts.Seconds);
    return std::isfinite(seconds) ? seconds : 0;
}

std::optional<double> LeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
    }
    if (pos >= text.size() || !IsDigit(text[pos])) {
        return std::nullopt;
    }
    const double value = ParseNumber(text);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace pq
