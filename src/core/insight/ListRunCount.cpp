// Counting the runs of a log list into runs read through it (RunList's list form), four bytes a run at every step:
// the facts of each distinct text are read once, the rows that count are noted by index in one array, which is
// then put in the statistics' order in place.
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

// A chunk's first row and how many of its rows count.
struct Chunk {
    int First;
    std::size_t Rows;
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

// The rows are placed by block of days, then in each block by day, then each day's few rows are sorted, the
// blocks shared out among the threads.
void PutInOrder(std::vector<std::uint32_t> &rows, const DayOrder &order, std::size_t parts) {
    const auto blockOf = [&order](std::uint32_t row) { return BlockOf(order.Day(row)); };
    const std::vector<std::size_t> blockStarts =
        PlaceByKey(rows.data(), rows.data() + rows.size(), BlockOf(LargestKeyDayNumber) + 1, blockOf);
    const auto blocks = static_cast<int>(blockStarts.size() - 1);
    RunInChunks(parts, blocks, DayBlocksPerChunk, [&](std::size_t, int firstBlock, int endBlock) {
        for (auto block = static_cast<std::size_t>(firstBlock); block < static_cast<std::size_t>(endBlock); ++block) {
            std::uint32_t *const first = rows.data() + blockStarts[block];
            if (blockStarts[block + 1] - blockStarts[block] < 2) {
                continue;
            }
            const std::vector<std::size_t> dayStarts =
                PlaceByKey(first, rows.data() + blockStarts[block + 1], DaysPerBlock, [&order](std::uint32_t row) {
                    return static_cast<std::size_t>(order.Day(row)) & (DaysPerBlock - 1);
                });
            for (std::size_t day = 0; day < DaysPerBlock; ++day) {
                if (dayStarts[day + 1] - dayStarts[day] > 1) {
                    std::sort(first + dayStarts[day], first + dayStarts[day + 1], order);
                }
            }
        }
    });
}

} // namespace

RunList CountRuns(const LogList &list, const RowFilter &filter) {
    return CountRunsInParts(list, filter, CountingParts(list.RowCount()));
}

// Each thread notes the counted rows of its chunks at the front of the chunk's places in one array for all rows;
// the chunks' rows are then moved together, so that the rows are never held twice.
RunList CountRunsInParts(const LogList &list, const RowFilter &filter, std::size_t parts, int chunk) {
    ListFacts facts(list, parts);
    const PackedRows &ids = list.Records();
    const auto rowCount = static_cast<std::size_t>(list.RowCount());
    // With room for runs inserted later (LiveRuns), so that the first one does not copy them all.
    std::vector<std::uint32_t> rows;
    rows.reserve(RowsWithSpare(rowCount));
    rows.resize(rowCount);
    std::vector<std::vector<Chunk>> chunks(parts);
    std::vector<std::vector<RunList::OwnDistance>> own(parts);
    RunInChunks(parts, list.RowCount(), chunk, [&](std::size_t thread, int first, int end) {
        auto kept = static_cast<std::size_t>(first);
        for (int row = first; row < end; ++row) {
            if (filter && !filter(row)) {
                continue;
            }
            const auto index = static_cast<std::size_t>(row);
            const ListFacts::DateFact &date = facts.Dates[ids.Id(index, DateColumn)];
            const ListFacts::DistanceFact &distance = facts.DistanceFacts[ids.Id(index, DistanceColumn)];
            if (!date.Keyed) {
                continue;
            }
            if (date.Tabbed || distance.Tabbed) {
                // A tab inside a text moves the places at which the statistics take the key apart: the row is
                // read through its composed key, and its distance kept as its own.
                const std::optional<CountedRun> run = CountedRunOf(
                    row, list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn));
                if (!run) {
                    continue;
                }
                own[thread].push_back({static_cast<std::uint32_t>(row), {run->Miles, run->Kilometers}});
            } else if (!date.Counts || !distance.Reads) {
                continue;
            }
            rows[kept++] = static_cast<std::uint32_t>(row);
        }
        chunks[thread].push_back({first, kept - static_cast<std::size_t>(first)});
    });
    std::vector<Chunk> inOrder;
    std::vector<RunList::OwnDistance> owned;
    for (std::size_t part = 0; part < parts; ++part) {
        inOrder.insert(inOrder.end(), chunks[part].begin(), chunks[part].end());
        owned.insert(owned.end(), own[part].begin(), own[part].end());
    }
    std::sort(inOrder.begin(), inOrder.end(),
              [](const Chunk &left, const Chunk &right) { return left.First < right.First; });
    auto kept = rows.begin();
    for (const Chunk &each : inOrder) {
        const auto first = rows.begin() + each.First;
        kept = std::copy(first, first + static_cast<std::ptrdiff_t>(each.Rows), kept);
    }
    rows.erase(kept, rows.end());
    std::sort(owned.begin(), owned.end(),
              [](const RunList::OwnDistance &left, const RunList::OwnDistance &right) { return left.Row < right.Row; });
    PutInOrder(rows, DayOrder(list, facts, !owned.empty()), parts);
    return {list,
            std::move(rows),
            std::move(owned),
            std::move(facts.Days),
            std::move(facts.Distances),
            std::move(facts.Seconds)};
}

} // namespace pq
