#pragma once

namespace pq {

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

} // namespace pq
