#include "insight/RunList.h"

#include <algorithm>
#include <utility>

#include "calc/DistanceTimeParts.h"
#include "insight/CountedRuns.h"
#include "log/SpareRows.h"
#include "log/TextTable.h"
#include "stats/RowKey.h"

namespace pq {

namespace {

bool RowBefore(const RunList::OwnDistance &entry, std::uint32_t row) {
    return entry.Row < row;
}

} // namespace

RunList::RunList(std::vector<Numbers> runs, std::vector<int> days, std::vector<Distance> distances,
                 std::vector<double> seconds)
    : Runs(std::move(runs)), Days(std::move(days)), Distances(std::move(distances)), Seconds(std::move(seconds)) {}

RunList::RunList(const LogList &list, std::vector<std::uint32_t> rows, std::vector<OwnDistance> own,
                 std::vector<int> days, std::vector<Distance> distances, std::vector<double> seconds)
    : Days(std::move(days)), Distances(std::move(distances)), Seconds(std::move(seconds)), List(&list),
      Rows(std::move(rows)), Own(std::move(own)) {}

int RunList::TextDay(std::string_view date) {
    return KeyDayNumber(date).value_or(0);
}

RunList::Distance RunList::TextDistance(std::string_view distance) {
    const UnitTotals reading = RunDistance(distance.substr(0, KeyDistanceWidth)).value_or(UnitTotals{});
    return {reading.Miles, reading.Kilometers};
}

double RunList::TextSeconds(std::string_view time) {
    return TimeTextSeconds(time);
}

RunList::RunList(const std::vector<CountedRun> &runs) {
    Runs.reserve(runs.size());
    Days.reserve(runs.size());
    Distances.reserve(runs.size());
    Seconds.reserve(runs.size());
    for (const CountedRun &run : runs) {
        Runs.push_back(Append(run));
    }
}

void RunList::Insert(const_iterator at, const CountedRun &run) {
    const auto place = static_cast<std::ptrdiff_t>(at.Index());
    if (!List) {
        Runs.insert(Runs.begin() + place, Append(run));
        return;
    }
    ReadNewTexts();
    const auto row = static_cast<std::uint32_t>(run.Row);
    if (Rows.size() == Rows.capacity()) {
        Rows.reserve(RowsWithSpare(Rows.size()));
    }
    Rows.insert(Rows.begin() + place, row);
    const Distance distance{run.Miles, run.Kilometers};
    if (Distances[List->TextId(run.Row, DistanceColumn)] != distance) {
        Own.insert(std::lower_bound(Own.begin(), Own.end(), row, RowBefore), {row, distance});
    }
}

void RunList::Erase(const_iterator at) {
    const auto place = static_cast<std::ptrdiff_t>(at.Index());
    if (!List) {
        Runs.erase(Runs.begin() + place);
        return;
    }
    const std::uint32_t row = Rows[at.Index()];
    Rows.erase(Rows.begin() + place);
    const auto own = std::lower_bound(Own.begin(), Own.end(), row, RowBefore);
    if (own != Own.end() && own->Row == row) {
        Own.erase(own);
    }
}

void RunList::MoveRows(int first, int offset) {
    const auto from = static_cast<std::uint32_t>(first);
    // A move back wraps around in unsigned arithmetic to the same row as in signed.
    const auto by = static_cast<std::uint32_t>(offset);
    for (Numbers &run : Runs) {
        run.Row += run.Row >= from ? by : 0U;
    }
    for (std::uint32_t &row : Rows) {
        row += row >= from ? by : 0U;
    }
    // The rows moved keep their order among themselves and stay after those that did not move: a move back
    // follows the removal of the rows between.
    for (OwnDistance &own : Own) {
        own.Row += own.Row >= from ? by : 0U;
    }
}

const RunList::Distance &RunList::ListedDistance(std::uint32_t row, std::uint32_t text) const {
    const auto own = std::lower_bound(Own.begin(), Own.end(), row, RowBefore);
    return own != Own.end() && own->Row == row ? own->Counted : Distances[text];
}

void RunList::ReadNewTexts() {
    const auto readNew = [this](int column, auto &values, auto read) {
        const TextTable &texts = List->ColumnTexts(column);
        const std::size_t known = values.size();
        values.resize(std::max(known, texts.Size()));
        for (std::size_t id = known; id < values.size(); ++id) {
            values[id] = read(texts.Text(static_cast<std::uint32_t>(id)));
        }
    };
    readNew(DateColumn, Days, TextDay);
    readNew(DistanceColumn, Distances, TextDistance);
    readNew(TimeColumn, Seconds, TextSeconds);
}

RunList::Numbers RunList::Append(const CountedRun &run) {
    const auto place = [](const auto &table) { return static_cast<std::uint32_t>(table.size()); };
    const Numbers numbers{static_cast<std::uint32_t>(run.Row), place(Days), place(Distances), place(Seconds)};
    Days.push_back(run.DayNumber);
    Distances.push_back({run.Miles, run.Kilometers});
    Seconds.push_back(run.Seconds);
    return numbers;
}

} // namespace pq
