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

// The rows are split into one run of rows for each thread. Each thread finds which of its rows count and how many
// fall on each day; from those numbers each thread's rows of a day get their places, after those of the threads
// before, and a second pass writes each row to its place: the rows of a day end up together in list order, read
// from the list in its order and never held twice. Each day's rows are then sorted by their keys, the days shared
// out among the threads.
class ListCount {
public:
    ListCount(const LogList &list, const RowFilter &filter, std::size_t parts)
        : List(list), Ids(list.Records()), Filter(filter), Parts(parts), Facts(list, parts), Own(parts),
          DayRows(parts) {
        const int rows = list.RowCount();
        PartRows = std::max(1, (rows + static_cast<int>(parts) - 1) / static_cast<int>(parts));
        FirstDay = LargestKeyDayNumber;
        int lastDay = SmallestKeyDayNumber;
        for (std::size_t date = 0; date < Facts.Days.size(); ++date) {
            if (Facts.Dates[date].Keyed) {
                FirstDay = std::min(FirstDay, Facts.Days[date]);
                lastDay = std::max(lastDay, Facts.Days[date]);
            }
        }
        Days = static_cast<std::size_t>(std::max(0, lastDay - FirstDay + 1));
        Taken.resize(filter ? static_cast<std::size_t>(rows) : 0);
    }

    RunList Count() {
        RunInChunks(Parts, List.RowCount(), PartRows,
                    [this](std::size_t, int first, int end) { CountDays(first, end); });
        PlaceDays();
        RunInChunks(Parts, List.RowCount(), PartRows,
                    [this](std::size_t, int first, int end) { PlaceRows(first, end); });
        Taken = {};
        DayRows = {};
        std::vector<RunList::OwnDistance> owned;
        for (const std::vector<RunList::OwnDistance> &each : Own) {
            owned.insert(owned.end(), each.begin(), each.end());
        }
        SortDays(DayOrder(List, Facts, !owned.empty()));
        return {List,
                std::move(Rows),
                std::move(owned),
                std::move(Facts.Days),
                std::move(Facts.Distances),
                std::move(Facts.Seconds)};
    }

private:
    std::size_t PartOf(int first) const { return static_cast<std::size_t>(first / PartRows); }
    std::size_t DayOf(std::size_t row) const {
        return static_cast<std::size_t>(Facts.Days[Ids.Id(row, DateColumn)] - FirstDay);
    }

    // Whether a row the filter took counts; a row whose key is composed counts when the first pass kept its own
    // distance.
    bool Counts(std::size_t part, int row) const {
        const auto index = static_cast<std::size_t>(row);
        const ListFacts::DateFact &date = Facts.Dates[Ids.Id(index, DateColumn)];
        const ListFacts::DistanceFact &distance = Facts.DistanceFacts[Ids.Id(index, DistanceColumn)];
        if (!date.Keyed) {
            return false;
        }
        if (date.Tabbed || distance.Tabbed) {
            const std::vector<RunList::OwnDistance> &owned = Own[part];
            return std::binary_search(owned.begin(), owned.end(), static_cast<std::uint32_t>(row),
                                      [](const auto &left, const auto &right) { return RowOf(left) < RowOf(right); });
        }
        return date.Counts && distance.Reads;
    }

    bool Takes(int row) {
        const auto index = static_cast<std::size_t>(row);
        if (!Filter) {
            return true;
        }
        Taken[index] = static_cast<char>(Filter(row));
        return Taken[index] != 0;
    }

    // A tab inside a text moves the places at which the statistics take the key apart: such a row is read through
    // its composed key, and its distance kept as its own when it counts.
    void ReadComposed(std::size_t part, int row) {
        const auto index = static_cast<std::size_t>(row);
        const ListFacts::DateFact &date = Facts.Dates[Ids.Id(index, DateColumn)];
        if (!date.Keyed || (!date.Tabbed && !Facts.DistanceFacts[Ids.Id(index, DistanceColumn)].Tabbed)) {
            return;
        }
        if (const std::optional<CountedRun> run = CountedRunOf(
                row, List.Text(row, DateColumn), List.Text(row, DistanceColumn), List.Text(row, TimeColumn))) {
            Own[part].push_back({static_cast<std::uint32_t>(row), {run->Miles, run->Kilometers}});
        }
    }

    void CountDays(int first, int end) {
        const std::size_t part = PartOf(first);
        std::vector<std::uint32_t> &perDay = DayRows[part];
        perDay.assign(Days, 0);
        for (int row = first; row < end; ++row) {
            if (!Takes(row)) {
                continue;
            }
            ReadComposed(part, row);
            if (Counts(part, row)) {
                ++perDay[DayOf(static_cast<std::size_t>(row))];
            }
        }
    }

    // Each part's count of a day becomes the place of its first row of the day.
    void PlaceDays() {
        DayStarts.assign(Days + 1, 0);
        std::uint32_t place = 0;
        for (std::size_t day = 0; day < Days; ++day) {
            DayStarts[day] = place;
            for (std::vector<std::uint32_t> &perDay : DayRows) {
                if (!perDay.empty()) {
                    place += std::exchange(perDay[day], place);
                }
            }
        }
        DayStarts[Days] = place;
        // With room for runs inserted later (LiveRuns), so that the first one does not copy them all.
        Rows.reserve(RowsWithSpare(place));
        Rows.resize(place);
    }

    void PlaceRows(int first, int end) {
        const std::size_t part = PartOf(first);
        std::vector<std::uint32_t> &next = DayRows[part];
        for (int row = first; row < end; ++row) {
            if ((!Filter || Taken[static_cast<std::size_t>(row)] != 0) && Counts(part, row)) {
                Rows[next[DayOf(static_cast<std::size_t>(row))]++] = static_cast<std::uint32_t>(row);
            }
        }
    }

    void SortDays(const DayOrder &order) {
        RunInChunks(Parts, static_cast<int>(Days), DaysPerChunk, [&](std::size_t, int first, int end) {
            for (auto day = static_cast<std::size_t>(first); day < static_cast<std::size_t>(end); ++day) {
                if (DayStarts[day + 1] - DayStarts[day] > 1) {
                    std::sort(Rows.begin() + static_cast<std::ptrdiff_t>(DayStarts[day]),
                              Rows.begin() + static_cast<std::ptrdiff_t>(DayStarts[day + 1]), order);
                }
            }
        });
    }

    const LogList &List;
    const PackedRows &Ids;
    const RowFilter &Filter;
    std::size_t Parts;
    ListFacts Facts;
    int PartRows = 1;
    int FirstDay = 0;
    std::size_t Days = 0;
    // What the filter said of each row, kept from the first pass for the second.
    std::vector<char> Taken;
    // Per part, the rows whose key is composed and that count, with their own distances, by row.
    std::vector<std::vector<RunList::OwnDistance>> Own;
    // Per part, its rows of each day: counted by the first pass, then the place of its next row of the day.
    std::vector<std::vector<std::uint32_t>> DayRows;
    std::vector<std::size_t> DayStarts;
    std::vector<std::uint32_t> Rows;
};

} // namespace

RunList CountRuns(const LogList &list, const RowFilter &filter) {
    return CountRunsInParts(list, filter, CountingParts(list.RowCount()));
}

RunList CountRunsInParts(const LogList &list, const RowFilter &filter, std::size_t parts) {
    return ListCount(list, filter, parts).Count();
}

} // namespace pq
