#include "stats/RowKey.h"

#include <algorithm>

#include "stats/StatsCalendar.h"

namespace pq {

namespace {

constexpr char DateSeparator = '/';
constexpr std::size_t DayNumberDigits = 5;
// Integers read from texts saturate here; far beyond any calendar value and safe to add and multiply.
constexpr std::int64_t IntegerCap = 1'000'000'000;
constexpr int MonthsPerYear = 12;
constexpr std::size_t KeyFieldsRead = 4;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::int64_t ReadLeadingInteger(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsWhiteSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::int64_t value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        value = std::min(value * 10 + (text[pos] - '0'), IntegerCap);
    }
    return negative ? -value : value;
}

std::string_view TextAfter(std::string_view text, std::size_t pos) {
    return pos == std::string_view::npos ? std::string_view() : text.substr(pos + 1);
}

bool TabEndedLess(std::string_view left, std::string_view right) {
    const std::size_t common = std::min(left.size(), right.size());
    if (const int order = left.substr(0, common).compare(right.substr(0, common)); order != 0) {
        return order < 0;
    }
    const auto separator = static_cast<unsigned char>(KeySeparator);
    if (left.size() < right.size()) {
        return separator < static_cast<unsigned char>(right[common]);
    }
    return left.size() > right.size() && static_cast<unsigned char>(left[common]) < separator;
}

std::optional<int> KeyDayNumber(std::string_view date) {
    if (date.empty() || !IsDigit(date.front())) {
        return std::nullopt;
    }
    const std::size_t firstSeparator = date.find(DateSeparator);
    if (firstSeparator == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t secondSeparator = date.find(DateSeparator, firstSeparator + 1);
    if (secondSeparator == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyDayNumber(ReadLeadingInteger(date), ReadLeadingInteger(TextAfter(date, firstSeparator)),
                        ReadLeadingInteger(TextAfter(date, secondSeparator)));
}

std::optional<int> KeyDayNumber(std::int64_t year, std::int64_t month, std::int64_t day) {
    if (month < 1 || month > MonthsPerYear) {
        return std::nullopt;
    }
    const std::int64_t dayNumber = LongDayNumber(year, static_cast<int>(month), day);
    if (dayNumber < SmallestKeyDayNumber || dayNumber > LargestKeyDayNumber) {
        return std::nullopt;
    }
    return static_cast<int>(dayNumber);
}

void AppendRowKey(std::string &key, int dayNumber, std::string_view date, std::string_view distance,
                  std::string_view time) {
    const std::size_t start = key.size();
    key.append(DayNumberDigits, '0');
    int rest = dayNumber;
    for (std::size_t i = DayNumberDigits; i > 0 && rest > 0; --i, rest /= 10) {
        key[start + i - 1] = static_cast<char>('0' + rest % 10);
    }
    key += KeySeparator;
    key += static_cast<char>('0' + WeekdayOf(dayNumber));
    key += KeySeparator;
    key.append(date);
    key += KeySeparator;
    key.append(distance.substr(0, KeyDistanceWidth));
    key += KeySeparator;
    key.append(time.substr(0, KeyTimeWidth));
}

std::string RowKey(std::string_view date, std::string_view distance, std::string_view time) {
    std::string key;
    if (const std::optional<int> dayNumber = KeyDayNumber(date)) {
        AppendRowKey(key, *dayNumber, date, distance, time);
    }
    return key;
}

RowKeyFields ReadRowKey(std::string_view key) {
    std::string_view parts[KeyFieldsRead];
    std::size_t start = 0;
    for (std::string_view &part : parts) {
        const std::size_t tab = key.find(KeySeparator, start);
        part = key.substr(std::min(start, key.size()), tab == std::string_view::npos ? key.npos : tab - start);
        start = tab == std::string_view::npos ? key.size() + 1 : tab + 1;
    }
    RowKeyFields fields;
    fields.DayNumber = static_cast<int>(ReadLeadingInteger(parts[0]));
    fields.Weekday = static_cast<int>(ReadLeadingInteger(parts[1]));
    fields.Date = parts[2];
    fields.Distance = parts[3];
    return fields;
}

std::optional<RowKeyFields> DirectRowKeyFields(int dayNumber, std::string_view date, std::string_view distance) {
    distance = distance.substr(0, KeyDistanceWidth);
    if (date.find(KeySeparator) != std::string_view::npos || distance.find(KeySeparator) != std::string_view::npos) {
        return std::nullopt;
    }
    return RowKeyFields{dayNumber, WeekdayOf(dayNumber), date, distance};
}

RowKeyFields RowKeyFieldsOf(int dayNumber, std::string_view date, std::string_view distance, std::string_view time,
                            std::string &scratch) {
    if (const std::optional<RowKeyFields> direct = DirectRowKeyFields(dayNumber, date, distance)) {
        return *direct;
    }
    // A tab inside a text moves the places at which the key is taken apart: the key is composed and read.
    scratch.clear();
    AppendRowKey(scratch, dayNumber, date, distance, time);
    return ReadRowKey(scratch);
}

} // namespace pq
