#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "log/TextPool.h"
#include "stats/PeriodTotals.h"
#include "stats/RowKey.h"

namespace pq {

class LogList;

// The statistics snapshot of a log list kept beside it and changed per edited row: for each dated row its day
// number and the numbers of its key's Date and Distance texts (as ReadRowKey takes them out of the key), each
// distinct text kept and read once, the rows in the order of their keys. Keys that agree up to the tab after their
// Distance text give the same figures and the same reports, so such rows may stand in any order among themselves:
// the totals are those of BuildSnapshot over the same rows, in whatever order the list holds them.
class LiveSnapshot {
public:
    // Takes the rows of the list in place of any held.
    void Build(const LogList &list);
    // Takes the rows of the list from the first not yet taken, in list order; false when stopped first, with the
    // rows taken so far kept, so that taking can go on while the rows before stay as they were. Finish puts them
    // in order once all are taken.
    bool TakeRows(const LogList &list, const std::stop_token &stop);
    int RowsTaken() const { return Taken; }
    void Finish();
    // After Finish: a row with these texts joins or leaves the log; rows without a key are not held.
    void AddRow(std::string_view date, std::string_view distance, std::string_view time);
    void RemoveRow(std::string_view date, std::string_view distance, std::string_view time);

    std::size_t Size() const { return Rows.size(); }
    int DayNumber(std::size_t index) const { return static_cast<int>(Rows[index].Day); }
    std::string_view Date(std::size_t index) const { return Dates.Text(Rows[index].Date); }
    std::string_view Distance(std::size_t index) const { return Distances.Text(Rows[index].Distance); }
    std::int64_t Year(std::size_t index) const { return DateFacts[Rows[index].Date].Year; }
    std::int64_t Month(std::size_t index) const { return DateFacts[Rows[index].Date].Month; }
    const DistanceReading &Reading(std::size_t index) const { return DistanceReadings[Rows[index].Distance]; }

private:
    struct Row {
        std::uint32_t Day;
        std::uint32_t Date;
        std::uint32_t Distance;
    };
    struct DateFact {
        std::int64_t Year;
        std::int64_t Month;
    };
    // What TakeRows knows of one of the list's Date texts: its number here and its day, or that it gives no key
    // (Unkeyed) or must be keyed with its row's other texts (Tabbed).
    struct ListDate {
        std::uint32_t Id = Unread;
        std::uint32_t Day = 0;
    };
    static constexpr std::uint32_t Unread = std::numeric_limits<std::uint32_t>::max();
    static constexpr std::uint32_t Unkeyed = Unread - 1;
    static constexpr std::uint32_t Tabbed = Unread - 2;
    ListDate ReadListDate(std::string_view date);
    // The row of these texts with the numbers of its key's texts, or nothing for a row without a key.
    std::optional<Row> KeyRow(std::string_view date, std::string_view distance, std::string_view time);
    std::uint32_t InternDate(std::string_view date);
    std::uint32_t InternDistance(std::string_view distance);
    // Whether a row's key texts come before another's of the same day.
    bool Before(const Row &left, const Row &right) const;
    // The rows of the day, which are next to each other.
    std::pair<std::vector<Row>::iterator, std::vector<Row>::iterator> DayRows(std::uint32_t day);

    std::vector<Row> Rows;
    int Taken = 0;
    TextPool Dates;
    TextPool Distances;
    std::vector<DateFact> DateFacts;               // by number
    std::vector<DistanceReading> DistanceReadings; // by number
    std::string Scratch;
};

} // namespace pq
