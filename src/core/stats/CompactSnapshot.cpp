#include "stats/CompactSnapshot.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "log/LogEntry.h"
#include "log/LogList.h"
#include "stats/DayOrder.h"
#include "stats/RowKey.h"

namespace pq {

namespace {

// A row's Date that is its day's usual text, before Finish.
constexpr std::uint32_t UsualDateMark = std::uint32_t{1} << 31;
// The form yyyy/mm/dd: the places of the two "/" and the length.
constexpr std::size_t UsualDateLength = 10;
constexpr std::size_t FirstSlash = 4;
constexpr std::size_t SecondSlash = 7;
constexpr char DateSlash = '/';
constexpr std::uint32_t Decimal = 10;
// A usual date's code holds the year's digits, then the month's two, then the day's two: 19980302.
constexpr std::uint32_t CodeYearUnit = 10000;
constexpr std::uint32_t CodeMonthUnit = 100;

// The digits of a date in the form yyyy/mm/dd as one number (19980302), or 0 for any other text.
std::uint32_t UsualDateCode(std::string_view date) {
    if (date.size() != UsualDateLength || date[FirstSlash] != DateSlash || date[SecondSlash] != DateSlash) {
        return 0;
    }
    // Every digit place is read without a branch; the text is a usual date only when all of them held digits.
    std::uint32_t code = 0;
    bool digits = true;
    for (std::size_t i = 0; i < UsualDateLength; ++i) {
        if (i != FirstSlash && i != SecondSlash) {
            const std::uint32_t digit = static_cast<unsigned char>(date[i]) - static_cast<std::uint32_t>('0');
            digits = digits && digit < Decimal;
            code = code * Decimal + digit;
        }
    }
    return digits ? code : 0;
}

std::string UsualDateText(std::uint32_t code) {
    std::string text(UsualDateLength, DateSlash);
    for (std::size_t i = UsualDateLength; i-- > 0;) {
        if (i != FirstSlash && i != SecondSlash) {
            text[i] = static_cast<char>('0' + code % Decimal);
            code /= Decimal;
        }
    }
    return text;
}

// The numbers of the texts in key order, and each number's rank in it.
std::vector<std::uint32_t> KeyOrder(const TextPool &texts, std::vector<std::uint32_t> &rankOf) {
    std::vector<std::uint32_t> order(texts.Size());
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(), [&texts](std::uint32_t left, std::uint32_t right) {
        return TabEndedLess(texts.Text(left), texts.Text(right));
    });
    rankOf.assign(order.size(), 0);
    for (std::uint32_t rank = 0; rank < order.size(); ++rank) {
        rankOf[order[rank]] = rank;
    }
    return order;
}

} // namespace

void CompactSnapshot::TakeRow(std::string_view rowText) {
    std::string_view texts[ColumnCount];
    LogList::SplitRowText(rowText, texts);
    AddRow(texts[DateColumn], texts[DistanceColumn], texts[TimeColumn]);
}

void CompactSnapshot::AddRow(std::string_view date, std::string_view distance, std::string_view time) {
    // Most Dates have the form yyyy/mm/dd: the day is taken from the digits read once, and unless the Distance holds
    // a tab where the key takes it, the key's texts are the Date and the start of the Distance as they stand.
    const std::string_view keyDistance = distance.substr(0, KeyDistanceWidth);
    if (const std::uint32_t code = UsualDateCode(date);
        code != 0 && keyDistance.find(KeySeparator) == std::string_view::npos) {
        const std::optional<int> dayNumber =
            KeyDayNumber(code / CodeYearUnit, code / CodeMonthUnit % CodeMonthUnit, code % CodeMonthUnit);
        if (dayNumber) {
            const auto day = static_cast<std::uint32_t>(*dayNumber);
            Rows.push_back({day, DateNumber(day, date, code), Distances.Intern(keyDistance)});
        }
        return;
    }
    const std::optional<int> dayNumber = KeyDayNumber(date);
    if (!dayNumber) {
        return;
    }
    const RowKeyFields fields = RowKeyFieldsOf(*dayNumber, date, distance, time, Scratch);
    const auto day = static_cast<std::uint32_t>(*dayNumber);
    Rows.push_back({day, DateNumber(day, fields.Date), Distances.Intern(fields.Distance)});
}

std::uint32_t CompactSnapshot::DateNumber(std::uint32_t day, std::string_view date) {
    return DateNumber(day, date, UsualDateCode(date));
}

std::uint32_t CompactSnapshot::DateNumber(std::uint32_t day, std::string_view date, std::uint32_t code) {
    return code != 0 && MarkUsual(day, code) ? UsualDateMark : Dates.Intern(date);
}

bool CompactSnapshot::MarkUsual(std::uint32_t day, std::uint32_t code) {
    if (UsualDates.empty()) {
        UsualDates.assign(static_cast<std::size_t>(LargestKeyDayNumber) + 1, 0);
    }
    std::uint32_t &usual = UsualDates[day];
    usual = usual == 0 ? code : usual;
    return usual == code;
}

void CompactSnapshot::Append(const CompactSnapshot &later) {
    std::vector<std::uint32_t> dates(later.Dates.Size());
    for (std::uint32_t id = 0; id < dates.size(); ++id) {
        dates[id] = Dates.Intern(later.Dates.Text(id));
    }
    std::vector<std::uint32_t> distances(later.Distances.Size());
    for (std::uint32_t id = 0; id < distances.size(); ++id) {
        distances[id] = Distances.Intern(later.Distances.Text(id));
    }
    Rows.reserve(Rows.size() + later.Rows.size());
    for (const Row &row : later.Rows) {
        std::uint32_t date = 0;
        if (row.Date == UsualDateMark) {
            // The text is made only when the day's usual date here is another one.
            const std::uint32_t code = later.UsualDates[row.Day];
            date = MarkUsual(row.Day, code) ? UsualDateMark : Dates.Intern(UsualDateText(code));
        } else {
            date = dates[row.Date];
        }
        Rows.push_back({row.Day, date, distances[row.Distance]});
    }
}

void CompactSnapshot::Finish() {
    std::vector<std::uint32_t> usualNumbers(UsualDates.size());
    for (std::size_t day = 0; day < UsualDates.size(); ++day) {
        if (UsualDates[day] != 0) {
            usualNumbers[day] = Dates.Intern(UsualDateText(UsualDates[day]));
        }
    }
    for (Row &row : Rows) {
        row.Date = row.Date == UsualDateMark ? usualNumbers[row.Day] : row.Date;
    }
    std::vector<std::uint32_t> dateRank;
    std::vector<std::uint32_t> distanceRank;
    DateOrder = KeyOrder(Dates, dateRank);
    DistanceOrder = KeyOrder(Distances, distanceRank);
    DateReadings.clear();
    for (const std::uint32_t id : DateOrder) {
        DateReadings.push_back({DateTextYear(Dates.Text(id)), DateTextMonth(Dates.Text(id))});
    }
    DistanceReadings.clear();
    for (const std::uint32_t id : DistanceOrder) {
        DistanceReadings.push_back(ReadDistance(Distances.Text(id)));
    }
    for (Row &row : Rows) {
        row.Date = dateRank[row.Date];
        row.Distance = distanceRank[row.Distance];
    }
    SortRows();
}

// The rows by day, and the rows of each day by the ranks of their texts.
void CompactSnapshot::SortRows() {
    SortByDay(Rows, [](const Row &left, const Row &right) {
        return left.Date != right.Date ? left.Date < right.Date : left.Distance < right.Distance;
    });
}

} // namespace pq
