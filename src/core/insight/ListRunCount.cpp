// Counting the runs of a log list into runs read through it (RunList's list form), four bytes a run at every step:
// the facts of each distinct text are read once, and the rows that count are placed by day into one array of row
// indexes, which is then put in the statistics' order in place.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "calc/DateRules.h"
#include "insight/CountedRuns.h"
#include "insight/PartThreads.h"
#include "insight/RunList.h"
#include "insight/RunOrder.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/SpareRows.h"
#include "log/TextTable.h"
#include "stats/RowKey.h"

namespace pq {

namespace {

using namespace run_order;

// What the count knows of each of the list's distinct Date, Distance and Time texts, by the list's numbers of
// them: what a run reads from it (RunList's tables), whether it lets a row count, and its rank in the key's order.
struct ListFacts {
    struct DateFact {
        bool Keyed;  // gives a row a key day
        bool Counts; // a real date by the date rules
        bool Tabbed; // a tab inside makes a row's key be composed
    };
    struct DistanceFact {
        bool Reads;  // the text cut as in a key has a number and a unit word the statistics recognise
        bool Tabbed; // a tab inside the cut text makes a row's key be composed
    };

    std::vector<int> Days;
    std::vector<DateFact> Dates;
    std::vector<std::uint32_t> DateRanks;
    std::vector<RunList::Distance> Distances;
    std::vector<DistanceFact> DistanceFacts;
    std::vector<std::uint32_t> DistanceRanks;
    std::vector<double> Seconds;
    std::vector<std::uint32_t> TimeRanks;

    ListFacts(const LogList &list, std::size_t parts) {
        const auto readAll = [&](int column, auto read) {
            const TextTable &texts = list.ColumnTexts(column);
            const auto count = static_cast<int>(texts.Size());
            RunInChunks(count >= ParallelCountMinimum ? parts : 1, count, CountingChunk,
                        [&](std::size_t, int first, int end) {
                            for (int id = first; id < end; ++id) {
                                read(static_cast<std::size_t>(id), texts.Text(static_cast<std::uint32_t>(id)));
                            }
                        });
        };
        const TextTable &dates = list.ColumnTexts(DateColumn);
        Days.resize(dates.Size());
        Dates.resize(dates.Size());
        readAll(DateColumn, [this](std::size_t id, std::string_view text) {
            const std::optional<int> day = KeyDayNumber(text);
            CivilDate civil;
            Days[id] = day.value_or(0);
            Dates[id] = {day.has_value(), ReadDateText(text, civil), HasTab(text)};
        });
        const TextTable &distances = list.ColumnTexts(DistanceColumn);
        Distances.resize(distances.Size());
        DistanceFacts.resize(distances.Size());
        readAll(DistanceColumn, [this](std::size_t id, std::string_view text) {
            const std::optional<UnitTotals> reading = RunDistance(KeyDistance(text));
            Distances[id] = RunList::TextDistance(text);
            DistanceFacts[id] = {reading.has_value(), HasTab(KeyDistance(text))};
        });
        Seconds.resize(list.ColumnTexts(TimeColumn).Size());
        readAll(TimeColumn,
                [this](std::size_t id, std::string_view text) { Seconds[id] = RunList::TextSeconds(text); });
        DateRanks = DenseRanks(dates, TabEndedLess);
        DistanceRanks = DenseRanks(distances, [](std::string_view left, std::string_view right) {
            return TabEndedLess(KeyDistance(left), KeyDistance(right));
        });
        // The Time text ends the key: no tab follows it.
        TimeRanks = DenseRanks(list.ColumnTexts(TimeColumn), [](std::string_view left, std::string_view right) {
            return KeyTime(left) < KeyTime(right);
        });
    }
};

// Puts the counted rows of each day in key order: by the ranks of their texts, or, for a row whose key is
// composed (a tab inside), by its key's texts; equal keys keep list order.
class DayOrder {
public:
    DayOrder(const LogList &list, const ListFacts &facts, bool tabbed)
        : List(list), Ids(list.Records()), Facts(facts), AnyTabbed(tabbed) {}

    int Day(std::uint32_t row) const { return Facts.Days[Ids.Id(row, DateColumn)]; }

    bool operator()(std::uint32_t left, std::uint32_t right) const {
        if (!AnyTabbed || (!Tabbed(left) && !Tabbed(right))) {
            return Ranks(left) < Ranks(right);
        }
        const auto tail = [this](std::uint32_t row) {
            const auto index = static_cast<int>(row);
            return KeyTail(
                {List.Text(index, DateColumn), List.Text(index, DistanceColumn), List.Text(index, TimeColumn)});
        };
        if (const int order = tail(left).compare(tail(right)); order != 0) {
            return order < 0;
        }
        return left < right;
    }

private:
    std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t> Ranks(std::uint32_t row) const {
        return {Facts.DateRanks[Ids.Id(row, DateColumn)], Facts.DistanceRanks[Ids.Id(row, DistanceColumn)],
                Facts.TimeRanks[Ids.Id(row, TimeColumn)], row};
    }
    bool Tabbed(std::uint32_t row) const {
        return Facts.Dates[Ids.Id(row, DateColumn)].Tabbed || Facts.DistanceFacts[Ids.Id(row, DistanceColumn)].Tabbed;
    }

    const LogList &List;
    const PackedRows &Ids;
    const ListFacts &Facts;
    bool AnyTabbed;
};

// The days a thread sorts at a time.
constexpr int DaysPerChunk = 1024;

std::uint32_t RowOf(const RunList::OwnDistance &own) {
    return own.Row;
}

std::uint32_t RowOf(std::uint32_t row) {
    return row;
}

} // namespace

RunList CountRuns(const LogList &list, const RowFilter &filter) {
    return CountRunsInParts(list, filter, CountingParts(list.RowCount()));
}

// The rows are split into one run of rows for each thread. Each thread finds which of its rows count and how many
// fall on each day; from those numbers each thread's rows of a day get their places, after those of the threads
// before, and a second pass writes each row to its place: the rows of a day end up together in list order, read
// from the list in its order and never held twice. Each day's rows are then sorted by their keys, the days shared
// out among the threads.
RunList CountRunsInParts(const LogList &list, const RowFilter &filter, std::size_t parts) {
    ListFacts facts(list, parts);
    const PackedRows &ids = list.Records();
    const int rowCount = list.RowCount();
    const int partRows = std::max(1, (rowCount + static_cast<int>(parts) - 1) / static_cast<int>(parts));
    const auto partOf = [partRows](int first) { return static_cast<std::size_t>(first / partRows); };
    int firstDay = LargestKeyDayNumber;
    int lastDay = SmallestKeyDayNumber;
    for (std::size_t date = 0; date < facts.Days.size(); ++date) {
        if (facts.Dates[date].Keyed) {
            firstDay = std::min(firstDay, facts.Days[date]);
            lastDay = std::max(lastDay, facts.Days[date]);
        }
    }
    const auto days = static_cast<std::size_t>(std::max(0, lastDay - firstDay + 1));
    const auto dayOf = [&](std::size_t row) {
        return static_cast<std::size_t>(facts.Days[ids.Id(row, DateColumn)] - firstDay);
    };
    // What the filter said of each row, kept from the first pass for the second.
    std::vector<char> taken(filter ? static_cast<std::size_t>(rowCount) : 0);
    std::vector<std::vector<RunList::OwnDistance>> own(parts);
    // Whether a row counts, once the filter has taken it.
    const auto counts = [&](std::size_t part, int row) {
        const auto index = static_cast<std::size_t>(row);
        const ListFacts::DateFact &date = facts.Dates[ids.Id(index, DateColumn)];
        const ListFacts::DistanceFact &distance = facts.DistanceFacts[ids.Id(index, DistanceColumn)];
        if (!date.Keyed) {
            return false;
        }
        if (date.Tabbed || distance.Tabbed) {
            const auto &owned = own[part];
            return std::binary_search(owned.begin(), owned.end(), static_cast<std::uint32_t>(row),
                                      [](const auto &left, const auto &right) { return RowOf(left) < RowOf(right); });
        }
        return date.Counts && distance.Reads;
    };
    std::vector<std::vector<std::uint32_t>> dayRows(parts);
    RunInChunks(parts, rowCount, partRows, [&](std::size_t, int first, int end) {
        const std::size_t part = partOf(first);
        std::vector<std::uint32_t> &perDay = dayRows[part];
        perDay.assign(days, 0);
        for (int row = first; row < end; ++row) {
            const auto index = static_cast<std::size_t>(row);
            if (filter) {
                taken[index] = static_cast<char>(filter(row));
                if (taken[index] == 0) {
                    continue;
                }
            }
            const ListFacts::DateFact &date = facts.Dates[ids.Id(index, DateColumn)];
            if (date.Keyed && (date.Tabbed || facts.DistanceFacts[ids.Id(index, DistanceColumn)].Tabbed)) {
                // A tab inside a text moves the places at which the statistics take the key apart: the row is
                // read through its composed key, and its distance kept as its own.
                if (const std::optional<CountedRun> run = CountedRunOf(
                        row, list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn))) {
                    own[part].push_back({static_cast<std::uint32_t>(row), {run->Miles, run->Kilometers}});
                }
            }
            if (counts(part, row)) {
                ++perDay[dayOf(index)];
            }
        }
    });
    // Each part's count of a day becomes the place of its first row of the day.
    std::vector<std::size_t> dayStarts(days + 1, 0);
    std::uint32_t place = 0;
    for (std::size_t day = 0; day < days; ++day) {
        dayStarts[day] = place;
        for (std::vector<std::uint32_t> &perDay : dayRows) {
            if (!perDay.empty()) {
                place += std::exchange(perDay[day], place);
            }
        }
    }
    dayStarts[days] = place;
    std::vector<std::uint32_t> rows;
    // With room for runs inserted later (LiveRuns), so that the first one does not copy them all.
    rows.reserve(RowsWithSpare(place));
    rows.resize(place);
    RunInChunks(parts, rowCount, partRows, [&](std::size_t, int first, int end) {
        const std::size_t part = partOf(first);
        std::vector<std::uint32_t> &next = dayRows[part];
        for (int row = first; row < end; ++row) {
            if ((!filter || taken[static_cast<std::size_t>(row)] != 0) && counts(part, row)) {
                rows[next[dayOf(static_cast<std::size_t>(row))]++] = static_cast<std::uint32_t>(row);
            }
        }
    });
    taken = {};
    dayRows = {};
    std::vector<RunList::OwnDistance> owned;
    for (const std::vector<RunList::OwnDistance> &each : own) {
        owned.insert(owned.end(), each.begin(), each.end());
    }
    const DayOrder order(list, facts, !owned.empty());
    RunInChunks(parts, static_cast<int>(days), DaysPerChunk, [&](std::size_t, int first, int end) {
        for (auto day = static_cast<std::size_t>(first); day < static_cast<std::size_t>(end); ++day) {
            if (dayStarts[day + 1] - dayStarts[day] > 1) {
                std::sort(rows.begin() + static_cast<std::ptrdiff_t>(dayStarts[day]),
                          rows.begin() + static_cast<std::ptrdiff_t>(dayStarts[day + 1]), order);
            }
        }
    });
    return {list,
            std::move(rows),
            std::move(owned),
            std::move(facts.Days),
            std::move(facts.Distances),
            std::move(facts.Seconds)};
}

} // namespace pq
