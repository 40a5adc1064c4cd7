#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "stats/PeriodTotals.h"

namespace pq {

class LogList;

// One row of the log that counts as a run: its Date passes the date rules, its Distance has a number and a unit
// word the statistics recognise. Distances are the row's contributions to the statistics' mile and kilometer
// totals; the time is its Time text read as hours:minutes:seconds.
struct CountedRun {
    int Row = 0; // index in the log list
    int DayNumber = 0;
    double Miles = 0;
    double Kilometers = 0;
    double Seconds = 0;
};

// A row is a run that counts when its Date passes the date rules (a real yyyy/mm/dd date) and its Distance has a
// number and a unit word the statistics recognise. The run's distance in all three units, or nothing.
std::optional<UnitTotals> CountedRunDistance(std::string_view date, std::string_view distance);

// A Distance text as the statistics read it: a number in front and a recognised unit word after the blank; the
// distance in all three units, or nothing.
std::optional<UnitTotals> RunDistance(std::string_view distance);

// Picks the rows that take part (a tag, for example); an empty filter takes every row.
using RowFilter = std::function<bool(int row)>;

// The counted rows in the statistics' order: by date, rows of one day by their Distance and Time texts, then in
// list order. Totals formed in this order equal the statistics' to the last bit.
std::vector<CountedRun> CountRuns(const LogList &list, const RowFilter &filter = {});

// Sums over counted runs; the pace is taken over the runs whose distance and time are both above zero.
struct RunTotals {
    int Runs = 0;
    double Miles = 0;
    double Kilometers = 0;
    double Seconds = 0;
    double PacedMiles = 0;
    double PacedKilometers = 0;
    double PacedSeconds = 0;

    void Add(const CountedRun &run);
    // Seconds per mile over the paced runs; 0 when there are none.
    double PacePerMile() const;
    // Seconds per kilometer over the paced runs; 0 when there are none.
    double PacePerKilometer() const;
};

// The first run on or after the day.
std::vector<CountedRun>::const_iterator FirstRunFrom(const std::vector<CountedRun> &runs, int dayNumber);

// The totals of the runs from the first day through the last, both included.
RunTotals TotalsBetween(const std::vector<CountedRun> &runs, int firstDay, int lastDay);

} // namespace pq
