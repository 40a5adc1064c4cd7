#pragma once

#include <string_view>
#include <vector>

#include "insight/CountedRuns.h"
#include "log/RowSink.h"

namespace pq::cli {

// The rows of a log file as the records need them: counted as runs, and the rows whose notes carry the race tag
// noted by their index, so a big file is still read a part on each core without keeping its rows.
class RecordRows : public RowSink {
public:
    void TakeRow(std::string_view rowText) override;
    // Adds the rows of a later part of the same file, numbered after every row this one has taken.
    void Append(const RecordRows &later);

    RunCounter &Runs() { return Counter; }
    const RunCounter &Runs() const { return Counter; }
    // Takes the rows tagged as races; this object must outlive the filter.
    RowFilter RaceFilter() const;

private:
    RunCounter Counter;
    std::vector<int> RaceRows; // ascending
    int Taken = 0;
};

} // namespace pq::cli
