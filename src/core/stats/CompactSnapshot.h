#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/RowSink.h"
#include "log/TextPool.h"
#include "stats/PeriodTotals.h"

namespace pq {

// The statistics snapshot in the form pquil builds straight from a log file's rows, without holding the rows:
// for each dated row its day number and the numbers of its key's Date and Distance texts (the parts that
// ReadRowKey takes out of the key), each distinct text kept and read once. The rows are walked in the order of
// their keys. Keys that agree up to the tab after their Distance text give the same figures and the same reports
// in every computation, so their order among themselves cannot show: the totals are those of BuildSnapshot.
class CompactSnapshot : public RowSink {
public:
    // A row of the log, as a row text; rows without a key are left out. Rows are added in list order.
    void TakeRow(std::string_view rowText) override;
    void AddRow(std::string_view date, std::string_view distance, std::string_view time);
    // Adds the rows of a later part of the same log. Both must not be finished yet.
    void Append(const CompactSnapshot &later);
    // Puts the rows in key order; call once, after the last row is added and before anything is read.
    void Finish();

    std::size_t Size() const { return Rows.size(); }
    int DayNumber(std::size_t index) const { return static_cast<int>(Rows[index].Day); }
    // The key's Date and Distance texts.
    std::string_view Date(std::size_t index) const { return Dates.Text(DateOrder[Rows[index].Date]); }
    std::string_view Distance(std::size_t index) const { return Distances.Text(DistanceOrder[Rows[index].Distance]); }
    std::int64_t Year(std::size_t index) const { return DateReadings[Rows[index].Date].Year; }
    std::int64_t Month(std::size_t index) const { return DateReadings[Rows[index].Date].Month; }
    const DistanceReading &Reading(std::size_t index) const { return DistanceReadings[Rows[index].Distance]; }

private:
    // Before Finish, Date and Distance are numbers in Dates and Distances; after it, ranks in key order.
    struct Row {
        std::uint32_t Day;
        std::uint32_t Date;
        std::uint32_t Distance;
    };
    struct DateReading {
        std::int64_t Year;
        std::int64_t Month;
    };
    std::uint32_t DateNumber(std::uint32_t day, std::string_view date);
    // The same for a Date whose UsualDateCode is known.
    std::uint32_t DateNumber(std::uint32_t day, std::string_view date, std::uint32_t code);
    // Makes the date of this code the day's usual one when the day has none yet; whether it is.
    bool MarkUsual(std::uint32_t day, std::uint32_t code);
    void SortRows();

    std::vector<Row> Rows;
    // Most rows of a day spell its date alike ("1998/03/02"): such a row's Date is marked as its day's usual text,
    // kept here as the number 19980302, and needs no search among the texts.
    std::vector<std::uint32_t> UsualDates;
    TextPool Dates;
    TextPool Distances;
    std::vector<std::uint32_t> DateOrder; // rank to number
    std::vector<std::uint32_t> DistanceOrder;
    std::vector<DateReading> DateReadings; // by rank
    std::vector<DistanceReading> DistanceReadings;
    std::string Scratch;
};

} // namespace pq
