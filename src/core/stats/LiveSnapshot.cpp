#include "stats/LiveSnapshot.h"

#include <algorithm>
#include <numeric>

#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/SpareRows.h"
#include "stats/DayOrder.h"

namespace pq {

namespace {

// How many rows a build reads between two looks at whether it was asked to stop.
constexpr int RowsBetweenStopChecks = 1 << 12;

// Each text's rank in key order: texts are compared once each, rather than once per row.
std::vector<std::uint32_t> KeyRanks(const TextPool &texts) {
    std::vector<std::uint32_t> order(texts.Size());
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(), [&texts](std::uint32_t left, std::uint32_t right) {
        return TabEndedLess(texts.Text(left), texts.Text(right));
    });
    std::vector<std::uint32_t> ranks(order.size());
    for (std::uint32_t rank = 0; rank < order.size(); ++rank) {
        ranks[order[rank]] = rank;
    }
    return ranks;
}

} // namespace

void LiveSnapshot::Build(const LogList &list) {
    *this = LiveSnapshot();
    TakeRows(list, {});
    Finish();
}

bool LiveSnapshot::TakeRows(const LogList &list, const std::stop_token &stop) {
    const int count = list.RowCount();
    const auto rows = static_cast<std::size_t>(count);
    // Rows added after the build then fit.
    Rows.reserve(RowsWithSpare(rows));
    // Each of the list's distinct Date and Distance texts is read and numbered once; a row is then two look-ups.
    // A row with a tab in its key's texts, rare, is keyed through its texts.
    std::vector<ListDate> dates(list.ColumnTexts(DateColumn).Size());
    std::vector<std::uint32_t> distances(list.ColumnTexts(DistanceColumn).Size(), Unread);
    for (; Taken < count; ++Taken) {
        if (Taken % RowsBetweenStopChecks == 0 && stop.stop_requested()) {
            return false;
        }
        ListDate &date = dates[list.TextId(Taken, DateColumn)];
        if (date.Id == Unread) {
            date = ReadListDate(list.Text(Taken, DateColumn));
        }
        if (date.Id == Unkeyed) {
            continue;
        }
        std::uint32_t &distance = distances[list.TextId(Taken, DistanceColumn)];
        if (distance == Unread) {
            const std::string_view text = list.Text(Taken, DistanceColumn).substr(0, KeyDistanceWidth);
            distance = text.find(KeySeparator) == std::string_view::npos ? InternDistance(text) : Tabbed;
        }
        if (date.Id == Tabbed || distance == Tabbed) {
            if (const std::optional<Row> keyed = KeyRow(list.Text(Taken, DateColumn), list.Text(Taken, DistanceColumn),
                                                        list.Text(Taken, TimeColumn))) {
                Rows.push_back(*keyed);
            }
        } else {
            Rows.push_back({date.Day, date.Id, distance});
        }
    }
    return true;
}

LiveSnapshot::ListDate LiveSnapshot::ReadListDate(std::string_view date) {
    const std::optional<int> dayNumber = KeyDayNumber(date);
    if (!dayNumber) {
        return {Unkeyed, 0};
    }
    if (date.find(KeySeparator) != std::string_view::npos) {
        return {Tabbed, 0};
    }
    return {InternDate(date), static_cast<std::uint32_t>(*dayNumber)};
}

void LiveSnapshot::Finish() {
    const std::vector<std::uint32_t> dateRanks = KeyRanks(Dates);
    const std::vector<std::uint32_t> distanceRanks = KeyRanks(Distances);
    SortByDay(Rows, [&](const Row &left, const Row &right) {
        return dateRanks[left.Date] != dateRanks[right.Date]
                   ? dateRanks[left.Date] < dateRanks[right.Date]
                   : distanceRanks[left.Distance] < distanceRanks[right.Distance];
    });
}

void LiveSnapshot::AddRow(std::string_view date, std::string_view distance, std::string_view time) {
    if (const std::optional<Row> keyed = KeyRow(date, distance, time)) {
        const auto [first, last] = DayRows(keyed->Day);
        Rows.insert(std::upper_bound(first, last, *keyed,
                                     [this](const Row &left, const Row &right) { return Before(left, right); }),
                    *keyed);
    }
}

void LiveSnapshot::RemoveRow(std::string_view date, std::string_view distance, std::string_view time) {
    if (const std::optional<Row> keyed = KeyRow(date, distance, time)) {
        const auto [first, last] = DayRows(keyed->Day);
        const auto found = std::find_if(first, last, [&keyed](const Row &row) {
            return row.Date == keyed->Date && row.Distance == keyed->Distance;
        });
        if (found != last) {
            Rows.erase(found);
        }
    }
}

std::optional<LiveSnapshot::Row> LiveSnapshot::KeyRow(std::string_view date, std::string_view distance,
                                                      std::string_view time) {
    const std::optional<int> dayNumber = KeyDayNumber(date);
    if (!dayNumber) {
        return std::nullopt;
    }
    const RowKeyFields fields = RowKeyFieldsOf(*dayNumber, date, distance, time, Scratch);
    return Row{static_cast<std::uint32_t>(*dayNumber), InternDate(fields.Date), InternDistance(fields.Distance)};
}

std::uint32_t LiveSnapshot::InternDate(std::string_view date) {
    const std::uint32_t id = Dates.Intern(date);
    if (id == DateFacts.size()) {
        DateFacts.push_back({DateTextYear(date), DateTextMonth(date)});
    }
    return id;
}

std::uint32_t LiveSnapshot::InternDistance(std::string_view distance) {
    const std::uint32_t id = Distances.Intern(distance);
    if (id == DistanceReadings.size()) {
        DistanceReadings.push_back(ReadDistance(distance));
    }
    return id;
}

bool LiveSnapshot::Before(const Row &left, const Row &right) const {
    if (left.Date != right.Date) {
        return TabEndedLess(Dates.Text(left.Date), Dates.Text(right.Date));
    }
    return TabEndedLess(Distances.Text(left.Distance), Distances.Text(right.Distance));
}

std::pair<std::vector<LiveSnapshot::Row>::iterator, std::vector<LiveSnapshot::Row>::iterator>
LiveSnapshot::DayRows(std::uint32_t day) {
    const auto first = std::lower_bound(Rows.begin(), Rows.end(), day,
                                        [](const Row &row, std::uint32_t value) { return row.Day < value; });
    const auto last =
        std::upper_bound(first, Rows.end(), day, [](std::uint32_t value, const Row &row) { return value < row.Day; });
    return {first, last};
}

} // namespace pq
