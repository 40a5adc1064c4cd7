#include "insight/CountedRuns.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <string>
#include <tuple>

#include "calc/DateRules.h"
#include "calc/DistanceTimeParts.h"
#include "insight/RunOrder.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/SpareRows.h"
#include "stats/RowKey.h"

namespace pq {

namespace {

using namespace run_order;

// Dates of the form yyyy/mm/dd in the years a real date may have are found by their digits, without hashing:
// the places of the two "/", the length, and the slots per year and per month.
constexpr std::size_t UsualDateLength = 10;
constexpr std::size_t FirstSlash = 4;
constexpr std::size_t SecondSlash = 7;
constexpr int DateParts = 3; // year, month, day
constexpr int Decimal = 10;
constexpr int MonthsPerYear = 12;
constexpr int MostDaysPerMonth = 31;
constexpr std::size_t UsualDateSlots = std::size_t{LastYear - FirstYear + 1} * MonthsPerYear * MostDaysPerMonth;

// The slot of a date of that form, or nothing for any other text.
std::optional<std::size_t> UsualDateSlot(std::string_view date) {
    if (date.size() != UsualDateLength || date[FirstSlash] != '/' || date[SecondSlash] != '/') {
        return std::nullopt;
    }
    int parts[DateParts] = {0, 0, 0};
    int part = 0;
    for (std::size_t i = 0; i < UsualDateLength; ++i) {
        if (i == FirstSlash || i == SecondSlash) {
            ++part;
        } else if (date[i] >= '0' && date[i] <= '9') {
            parts[part] = parts[part] * Decimal + (date[i] - '0');
        } else {
            return std::nullopt;
        }
    }
    const auto [year, month, day] = parts;
    if (year < FirstYear || year > LastYear || month < 1 || month > MonthsPerYear || day < 1 ||
        day > MostDaysPerMonth) {
        return std::nullopt;
    }
    return (static_cast<std::size_t>(year - FirstYear) * MonthsPerYear + static_cast<std::size_t>(month - 1)) *
               MostDaysPerMonth +
           static_cast<std::size_t>(day - 1);
}

} // namespace

std::optional<UnitTotals> RunDistance(std::string_view distanceText) {
    const DistanceParts parts = SplitDistanceText(distanceText);
    const std::optional<double> value = LeadingNumber(parts.Number);
    UnitTotals totals;
    if (!value || !AccumulateDistance(totals, *value, parts.UnitWord)) {
        return std::nullopt;
    }
    return totals;
}

std::optional<UnitTotals> CountedRunDistance(std::string_view date, std::string_view distance) {
    CivilDate civil;
    if (!ReadDateText(date, civil)) {
        return std::nullopt;
    }
    return RunDistance(distance);
}

std::optional<CountedRun> CountedRunOf(int row, std::string_view date, std::string_view distance,
                                       std::string_view time) {
    const std::optional<int> day = KeyDayNumber(date);
    if (!day) {
        return std::nullopt;
    }
    std::optional<UnitTotals> counted;
    if (!HasTab(date) && !HasTab(KeyDistance(distance))) {
        CivilDate civil;
        if (ReadDateText(date, civil)) {
            counted = RunDistance(KeyDistance(distance));
        }
    } else {
        // A tab inside a text moves the places at which the statistics take the key apart.
        std::string key;
        AppendRowKey(key, *day, date, distance, time);
        const RowKeyFields fields = ReadRowKey(key);
        counted = CountedRunDistance(fields.Date, fields.Distance);
    }
    if (!counted) {
        return std::nullopt;
    }
    return CountedRun{row, *day, counted->Miles, counted->Kilometers, TimeTextSeconds(time)};
}

bool RunBefore(const LogList &list, const CountedRun &left, const CountedRun &right) {
    if (left.DayNumber != right.DayNumber) {
        return left.DayNumber < right.DayNumber;
    }
    const auto tail = [&list](int row) {
        return KeyTail({list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn)});
    };
    if (const int order = tail(left.Row).compare(tail(right.Row)); order != 0) {
        return order < 0;
    }
    return left.Row < right.Row;
}

void RunTotals::Add(const CountedRun &run) {
    ++Runs;
    Miles += run.Miles;
    Kilometers += run.Kilometers;
    if (run.Seconds > 0) {
        Seconds += run.Seconds;
    }
    if (run.Miles > 0 && run.Seconds > 0) {
        PacedMiles += run.Miles;
        PacedKilometers += run.Kilometers;
        PacedSeconds += run.Seconds;
    }
}

double RunTotals::PacePerMile() const {
    return PacedMiles > 0 ? PacedSeconds / PacedMiles : 0;
}

RunList::const_iterator FirstRunFrom(const RunList &runs, int dayNumber) {
    return std::lower_bound(runs.begin(), runs.end(), dayNumber,
                            [](const CountedRun &run, int day) { return run.DayNumber < day; });
}

RunTotals TotalsBetween(const RunList &runs, int firstDay, int lastDay) {
    RunTotals totals;
    for (auto run = FirstRunFrom(runs, firstDay); run != runs.end() && run->DayNumber <= lastDay; ++run) {
        totals.Add(*run);
    }
    return totals;
}

void RunCounter::TakeRow(std::string_view rowText) {
    std::string_view texts[ColumnCount];
    LogList::SplitRowText(rowText, texts);
    AddRow(Taken, texts[DateColumn], texts[DistanceColumn], texts[TimeColumn]);
}

void RunCounter::AddRow(int row, std::string_view date, std::string_view distance, std::string_view time) {
    Taken = std::max(Taken, row + 1);
    const std::uint32_t dateId = InternDate(date);
    const DateFacts facts = DateFactsOf[dateId];
    if (facts.Day < 0) {
        return;
    }
    if (!HasTab(date) && !HasTab(KeyDistance(distance))) {
        if (!facts.Counts) {
            return;
        }
        const std::uint32_t distanceId = InternDistance(distance);
        if (DistanceFactsOf[distanceId].Reading) {
            Rows.push_back({static_cast<std::uint32_t>(row), dateId, distanceId, InternTime(time)});
        }
        return;
    }
    // A tab inside a text moves the places at which the statistics take the key apart: the key is composed and
    // read as they read it.
    std::string key;
    AppendRowKey(key, facts.Day, date, distance, time);
    const RowKeyFields fields = ReadRowKey(key);
    if (const std::optional<UnitTotals> counted = CountedRunDistance(fields.Date, fields.Distance)) {
        const std::uint32_t distanceId = InternDistance(distance);
        TabbedDistances.push_back({row, distanceId, *counted});
        Rows.push_back({static_cast<std::uint32_t>(row), dateId, distanceId, InternTime(time)});
    }
}

void RunCounter::AddRows(const LogList &list, const RowFilter &filter) {
    Rows.reserve(Rows.size() + static_cast<std::size_t>(list.RowCount()));
    if (Counted != &list) {
        Counted = &list;
        ListDates.clear();
        ListDistances.clear();
        ListTimes.clear();
    }
    ListDates.resize(list.ColumnTexts(DateColumn).Size(), 0);
    ListDistances.resize(list.ColumnTexts(DistanceColumn).Size(), 0);
    ListTimes.resize(list.ColumnTexts(TimeColumn).Size(), 0);
    // Each of the list's distinct texts is looked at and numbered once; a row is then three look-ups. The rare row
    // with a tab in its key's texts is added through its texts.
    const auto known = [&list](std::vector<std::uint32_t> &numbers, int row, int column, auto number) {
        std::uint32_t &entry = numbers[list.TextId(row, column)];
        if (entry == 0) {
            entry = number(list.Text(row, column));
        }
        return entry;
    };
    const auto addByTexts = [&](int row) {
        AddRow(row, list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn));
    };
    for (int row = 0; row < list.RowCount(); ++row) {
        if (filter && !filter(row)) {
            continue;
        }
        const std::uint32_t date = known(ListDates, row, DateColumn, [this](std::string_view text) {
            return HasTab(text) ? TabbedText : InternDate(text) + 1;
        });
        if (date == TabbedText) {
            addByTexts(row);
            continue;
        }
        const DateFacts facts = DateFactsOf[date - 1];
        if (facts.Day < 0) {
            continue;
        }
        const std::uint32_t distance = known(ListDistances, row, DistanceColumn, [this](std::string_view text) {
            return HasTab(KeyDistance(text)) ? TabbedText : InternDistance(text) + 1;
        });
        if (distance == TabbedText) {
            addByTexts(row);
            continue;
        }
        if (!facts.Counts || !DistanceFactsOf[distance - 1].Reading) {
            continue;
        }
        const std::uint32_t time =
            known(ListTimes, row, TimeColumn, [this](std::string_view text) { return InternTime(text) + 1; });
        Rows.push_back({static_cast<std::uint32_t>(row), date - 1, distance - 1, time - 1});
    }
    Taken = std::max(Taken, list.RowCount());
}

std::uint32_t RunCounter::InternDate(std::string_view date) {
    const std::optional<std::size_t> slot = UsualDateSlot(date);
    if (slot && !UsualDateIds.empty() && UsualDateIds[*slot] != 0) {
        return UsualDateIds[*slot] - 1;
    }
    const std::size_t known = Dates.Size();
    const std::uint32_t id = Dates.Intern(date);
    if (id == known) {
        CivilDate civil;
        DateFactsOf.push_back({KeyDayNumber(date).value_or(-1), ReadDateText(date, civil), HasTab(date)});
    }
    if (slot) {
        UsualDateIds.resize(UsualDateSlots, 0);
        UsualDateIds[*slot] = id + 1;
    }
    return id;
}

std::uint32_t RunCounter::InternDistance(std::string_view distance) {
    const std::size_t known = Distances.Size();
    const std::uint32_t id = Distances.Intern(distance);
    if (id == known) {
        DistanceFactsOf.push_back({RunDistance(KeyDistance(distance)), HasTab(KeyDistance(distance))});
    }
    return id;
}

std::uint32_t RunCounter::InternTime(std::string_view time) {
    const std::size_t known = Times.Size();
    const std::uint32_t id = Times.Intern(time);
    if (id == known) {
        SecondsOf.push_back(TimeTextSeconds(time));
    }
    return id;
}

void RunCounter::Append(const RunCounter &later) {
    const TextNumbers numbers = TakeTexts(later, Taken);
    Rows.reserve(Rows.size() + later.Rows.size());
    for (const Row &row : later.Rows) {
        Rows.push_back(numbers.Renumbered(row, Taken));
    }
    Taken += later.Taken;
}

RunCounter::Row RunCounter::TextNumbers::Renumbered(const Row &row, int offset) const {
    return {row.Row + static_cast<std::uint32_t>(offset), Dates[row.Date], Distances[row.Distance], Times[row.Time]};
}

RunCounter::TextNumbers RunCounter::TakeTexts(const RunCounter &other, int offset) {
    const auto remap = [](const TextPool &texts, auto intern) {
        std::vector<std::uint32_t> ids(texts.Size());
        for (std::uint32_t id = 0; id < ids.size(); ++id) {
            ids[id] = intern(texts.Text(id));
        }
        return ids;
    };
    TextNumbers numbers{remap(other.Dates, [this](std::string_view text) { return InternDate(text); }),
                        remap(other.Distances, [this](std::string_view text) { return InternDistance(text); }),
                        remap(other.Times, [this](std::string_view text) { return InternTime(text); })};
    for (const TabbedDistance &tabbed : other.TabbedDistances) {
        TabbedDistances.push_back({tabbed.Row + offset, numbers.Distances[tabbed.Text], tabbed.Counted});
    }
    return numbers;
}

// The rows are placed by block of days, then in each block by day, then each day's few rows are sorted, the
// blocks shared out among the threads. The rows' array is handed to the runs as it is: only a tabbed row's
// distance is renumbered, to its own entry after the texts' readings.
RunList RunCounter::Finish(std::size_t parts) {
    Rank();
    const auto blockOf = [this](const Row &row) { return BlockOf(DayOf(row)); };
    const std::vector<std::size_t> blockStarts =
        PlaceByKey(Rows.data(), Rows.data() + Rows.size(), BlockOf(LargestKeyDayNumber) + 1, blockOf);
    const auto blocks = static_cast<int>(blockStarts.size() - 1);
    RunInChunks(parts, blocks, DayBlocksPerChunk, [&](std::size_t, int firstBlock, int endBlock) {
        for (auto block = static_cast<std::size_t>(firstBlock); block < static_cast<std::size_t>(endBlock); ++block) {
            Row *const first = Rows.data() + blockStarts[block];
            if (blockStarts[block + 1] - blockStarts[block] < 2) {
                continue;
            }
            const std::vector<std::size_t> dayStarts =
                PlaceByKey(first, Rows.data() + blockStarts[block + 1], DaysPerBlock, [this](const Row &row) {
                    return static_cast<std::size_t>(DayOf(row)) & (DaysPerBlock - 1);
                });
            for (std::size_t day = 0; day < DaysPerBlock; ++day) {
                if (dayStarts[day + 1] - dayStarts[day] > 1) {
                    std::sort(first + dayStarts[day], first + dayStarts[day + 1],
                              [this](const Row &left, const Row &right) { return Before(left, right); });
                }
            }
        }
    });
    std::vector<RunList::Distance> distances = RunDistances();
    if (!TabbedDistances.empty()) {
        for (Row &row : Rows) {
            if (Tabbed(row)) {
                const auto found =
                    std::lower_bound(TabbedDistances.begin(), TabbedDistances.end(), static_cast<int>(row.Row),
                                     [](const TabbedDistance &entry, int index) { return entry.Row < index; });
                row.Distance = static_cast<std::uint32_t>(DistanceFactsOf.size() +
                                                          static_cast<std::size_t>(found - TabbedDistances.begin()));
            }
        }
    }
    std::vector<int> days(DateFactsOf.size());
    std::transform(DateFactsOf.begin(), DateFactsOf.end(), days.begin(),
                   [](const DateFacts &facts) { return facts.Day; });
    return {std::move(Rows), std::move(days), std::move(distances), std::move(SecondsOf)};
}

std::vector<RunList::Distance> RunCounter::RunDistances() const {
    std::vector<RunList::Distance> distances;
    distances.reserve(DistanceFactsOf.size() + TabbedDistances.size());
    for (const DistanceFacts &facts : DistanceFactsOf) {
        const UnitTotals reading = facts.Reading.value_or(UnitTotals{});
        distances.push_back({reading.Miles, reading.Kilometers});
    }
    for (const TabbedDistance &tabbed : TabbedDistances) {
        distances.push_back({tabbed.Counted.Miles, tabbed.Counted.Kilometers});
    }
    return distances;
}

RunTexts RunCounter::Texts(const RunList &runs, int row) const {
    for (std::size_t place = 0; place < runs.size(); ++place) {
        const Row &run = runs.NumbersAt(place);
        if (static_cast<int>(run.Row) == row) {
            const std::uint32_t distance = run.Distance < DistanceFactsOf.size()
                                               ? run.Distance
                                               : TabbedDistances[run.Distance - DistanceFactsOf.size()].Text;
            return {Dates.Text(run.Date), Distances.Text(distance), Times.Text(run.Time)};
        }
    }
    return {};
}

void RunCounter::Rank() {
    DateRank = DenseRanks(Dates, TabEndedLess);
    DistanceRank = DenseRanks(Distances, [](std::string_view left, std::string_view right) {
        return TabEndedLess(KeyDistance(left), KeyDistance(right));
    });
    // The Time text ends the key: no tab follows it.
    TimeRank =
        DenseRanks(Times, [](std::string_view left, std::string_view right) { return KeyTime(left) < KeyTime(right); });
    std::sort(TabbedDistances.begin(), TabbedDistances.end(),
              [](const TabbedDistance &left, const TabbedDistance &right) { return left.Row < right.Row; });
}

// For rows without a tab in their key's Date and Distance texts the ranks order them as their keys' texts do;
// equal keys keep list order.
bool RunCounter::Before(const Row &left, const Row &right) const {
    if (TabbedDistances.empty() || (!Tabbed(left) && !Tabbed(right))) {
        const auto rank = [this](const Row &row) {
            return std::make_tuple(DateRank[row.Date], DistanceRank[row.Distance], TimeRank[row.Time], row.Row);
        };
        return rank(left) < rank(right);
    }
    const auto texts = [this](const Row &row) {
        return RunTexts{Dates.Text(row.Date), Distances.Text(row.Distance), Times.Text(row.Time)};
    };
    if (const int order = KeyTail(texts(left)).compare(KeyTail(texts(right))); order != 0) {
        return order < 0;
    }
    return left.Row < right.Row;
}

} // namespace pq
