#include "import/IsoTime.h"

#include <algorithm>

namespace pq {

namespace {

constexpr std::int64_t SecondsPerMinute = 60;
constexpr std::int64_t SecondsPerHour = 3600;
constexpr std::int64_t SecondsPerDay = 86400;
constexpr int LastHour = 23;
constexpr int LastMinute = 59;
constexpr int LastSecond = 59;
constexpr int LeapSecond = 60;

// Reads exactly count digits at pos; false when any is not a digit.
bool Digits(std::string_view text, std::size_t &pos, int count, int &value) {
    if (pos + static_cast<std::size_t>(count) > text.size()) {
        return false;
    }
    value = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[pos++];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return true;
}

bool Expect(std::string_view text, std::size_t &pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int MonthDays(int year, int month) {
    constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::int64_t DaysFromCivil(int year, int month, int day) {
    // Counted in eras of 400 years from a year that starts in March, so the leap day is the era's last.
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    constexpr std::int64_t EpochShift = 719468; // days from 0000-03-01 to 1970-01-01
    return era * 146097 + dayOfEra - EpochShift;
}

std::optional<double> ParseIsoTime(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    std::size_t pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!Digits(text, pos, 4, year) || !Expect(text, pos, '-') || !Digits(text, pos, 2, month) ||
        !Expect(text, pos, '-') || !Digits(text, pos, 2, day) || !Expect(text, pos, 'T') ||
        !Digits(text, pos, 2, hour) || !Expect(text, pos, ':') || !Digits(text, pos, 2, minute) ||
        !Expect(text, pos, ':') || !Digits(text, pos, 2, second)) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > MonthDays(year, month) || hour > LastHour || minute > LastMinute ||
        second > LeapSecond) {
        return std::nullopt;
    }
    // A leap second is the last second of its minute here, so that it never moves the run to the next day.
    second = std::min(second, LastSecond);
    double fraction = 0;
    if (Expect(text, pos, '.')) {
        double scale = 0.1;
        const std::size_t first = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            fraction += (text[pos] - '0') * scale;
            scale /= 10;
            ++pos;
        }
        if (pos == first) {
            return std::nullopt;
        }
    }
    std::int64_t offset = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        const int sign = text[pos++] == '-' ? -1 : 1;
        int zoneHours = 0, zoneMinutes = 0;
        if (!Digits(text, pos, 2, zoneHours) || !Expect(text, pos, ':') || !Digits(text, pos, 2, zoneMinutes) ||
            zoneHours > 23 || zoneMinutes > 59) {
            return std::nullopt;
        }
        offset = sign * (zoneHours * SecondsPerHour + zoneMinutes * SecondsPerMinute);
    } else {
        Expect(text, pos, 'Z');
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    const std::int64_t seconds = DaysFromCivil(year, month, day) * SecondsPerDay + hour * SecondsPerHour +
                                 minute * SecondsPerMinute + second - offset;
    return static_cast<double>(seconds) + fraction;
}

} // namespace pq
