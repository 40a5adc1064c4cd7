#include "insight/LoadCounter.h"

#include <algorithm>

#include "calc/DateRules.h"
#include "calc/DistanceTimeParts.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"
#include "stats/StatsCalendar.h"

namespace pq {

int LoadDayOf(std::string_view date) {
    CivilDate civil;
    return ReadDateText(date, civil) ? DayNumber(civil.Year, civil.Month, civil.Day) : 0;
}

std::optional<double> RowLoad(std::string_view time, std::string_view notes) {
    const double seconds = TimeTextSeconds(time);
    if (!(seconds > 0)) {
        return std::nullopt;
    }
    return RunLoad(seconds, PerceivedEffort(notes).value_or(UsualEffort));
}

DailyLoads SumDailyLoads(const std::vector<std::pair<int, double>> &runs) {
    DailyLoads loads;
    if (runs.empty()) {
        return loads;
    }
    const auto [first, last] = std::minmax_element(
        runs.begin(), runs.end(), [](const auto &left, const auto &right) { return left.first < right.first; });
    loads.FirstDay = first->first;
    loads.Loads.assign(static_cast<std::size_t>(last->first - first->first) + 1, 0);
    for (const auto &[day, load] : runs) {
        loads.Loads[std::size_t(day - loads.FirstDay)] += load;
    }
    return loads;
}

void LoadCounter::TakeRow(std::string_view rowText) {
    std::string_view texts[ColumnCount];
    LogList::SplitRowText(rowText, texts);
    AddRow(texts[DateColumn], texts[TimeColumn], texts[NotesColumn]);
}

void LoadCounter::AddRow(std::string_view date, std::string_view time, std::string_view notes) {
    const int day = DayOf(date);
    if (day == 0) {
        return;
    }
    if (const std::optional<double> load = RowLoad(time, notes)) {
        Runs.emplace_back(day, *load);
    }
}

void LoadCounter::AddRows(const LogList &list, const RowFilter &filter) {
    for (int row = 0; row < list.RowCount(); ++row) {
        if (!filter || filter(row)) {
            AddRow(list.Text(row, DateColumn), list.Text(row, TimeColumn), list.Text(row, NotesColumn));
        }
    }
}

void LoadCounter::Append(const LoadCounter &later) {
    Runs.insert(Runs.end(), later.Runs.begin(), later.Runs.end());
}

DailyLoads LoadCounter::Finish() const {
    return SumDailyLoads(Runs);
}

int LoadCounter::DayOf(std::string_view date) {
    if (date != LastDate) {
        LastDay = LoadDayOf(date);
        LastDate = date;
    }
    return LastDay;
}

} // namespace pq
