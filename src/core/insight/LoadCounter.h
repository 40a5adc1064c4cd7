#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "insight/CountedRuns.h"
#include "insight/TrainingLoad.h"
#include "log/RowSink.h"

namespace pq {

class LogList;

// The day of a Date text by the date rules, or 0 when it does not pass them.
int LoadDayOf(std::string_view date);
// The load of a row whose Date passes the date rules: nothing when its Time is not above zero.
std::optional<double> RowLoad(std::string_view time, std::string_view notes);
// The daily loads of runs given as their days and loads in list order; no days for no runs.
DailyLoads SumDailyLoads(const std::vector<std::pair<int, double>> &runs);

// Adds up the training load of rows handed over in list order. A row is a run that counts when its Date passes
// the date rules and its Time text, read as for the records, is above zero; its distance does not matter. Its
// load is its minutes times the effort of its notes' marker (UsualEffort without one). A big file can be counted a
// part on each core.
class LoadCounter : public RowSink {
public:
    void TakeRow(std::string_view rowText) override;
    void AddRow(std::string_view date, std::string_view time, std::string_view notes);
    // The rows of the list that the filter takes (every row for an empty one).
    void AddRows(const LogList &list, const RowFilter &filter);
    // Adds the runs of a later part of the same file.
    void Append(const LoadCounter &later);
    // The daily loads of the runs taken; no days when none counted.
    DailyLoads Finish() const;

private:
    // The day of a Date text, or 0 when it does not pass the date rules. Logs hold runs of a day together, so the
    // last text read is kept.
    int DayOf(std::string_view date);

    std::vector<std::pair<int, double>> Runs; // day and load, in list order
    std::string LastDate;
    int LastDay = 0;
};

} // namespace pq
