#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "insight/CountedRuns.h"
#include "stats/PeriodTotals.h"

namespace pq {

class LogList;

// One tag's or shoe's runs.
struct MarkTotal {
    std::string Name; // the first spelling in list order
    int Runs = 0;
    double Miles = 0;
    double Kilometers = 0;
    std::string FirstDate; // of the earliest and the latest run; empty without runs
    std::string LastDate;
    int LastRow = -1; // the row of the latest run (the later row on the same date)
};

// Every tag or shoe (by its sign) that the notes of the list carry, in name order ignoring ASCII letter case.
// A mark seen only on rows that do not count is listed without runs. A run with several shoes counts for each.
// With a filter, only the rows it takes are read.
std::vector<MarkTotal> CollectMarkTotals(const LogList &list, char sign, const RowFilter &filter = {});

// The names of every tag or shoe in the notes, each in its first spelling, in name order ignoring ASCII case.
std::vector<std::string> MarkNames(const LogList &list, char sign);

// Takes the rows whose notes carry the mark. The list must outlive the filter.
RowFilter MarkFilter(const LogList &list, char sign, std::string name);

// The indexes of the rows whose notes carry the mark, in list order.
std::vector<int> MarkedRows(const LogList &list, char sign, std::string_view name);

// A list of the given rows of another, in the given order, for computations that take only some runs.
LogList SelectRows(const LogList &list, const std::vector<int> &rows);

} // namespace pq
