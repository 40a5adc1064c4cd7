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

// The statistics snapshot of a log list kept beside it and changed per edited row: its dated rows in the order of
// their keys, each described by the numbers of its key's Date and Distance texts (as ReadRowKey takes them out of
// the key), each distinct text kept and read once. Keys that agree up to the tab after their Distance text give the
// same figures and the same reports, so such rows may stand in any order among themselves: the totals are those of
// BuildSnapshot over the same rows, in whatever order the list holds them. The rows of one day and Date text make a
// group, so a row is only the number of its Distance text: the groups in key order, each with the place of its
// first row, and the rows' Distance numbers in key order.
class LiveSnapshot {
public:
    // Takes the rows of the list in place of any held.
    void Build(const LogList &list);
    // Counts the rows of the list from the first not yet counted, in list order; false when stopped first, with
    // the rows counted so far kept, so that counting can go on while the rows before stay as they were. Once all
    // are counted, places them by group, reading the list once more, and returns true; Finish then puts each
    // group's rows in order without the list.
    bool TakeRows(const LogList &list, const std::stop_token &stop);
    int RowsTaken() const { return Taken; }
    void Finish();
    // After Finish: a row with these texts joins or leaves the log; rows without a key are not held.
    void AddRow(std::string_view date, std::string_view distance, std::string_view time);
    void RemoveRow(std::string_view date, std::string_view distance, std::string_view time);

    std::size_t Size() const { return RowDistances.size(); }
    // The groups in key order; the rows of a group run from the end of the one before up to its end. A group
    // whose rows have all left may stay, empty.
    std::size_t GroupCount() const { return Groups.size(); }
    std::size_t GroupEnd(std::size_t group) const { return GroupFirsts[group + 1]; }
    int GroupDayNumber(std::size_t group) const { return static_cast<int>(Groups[group].Day); }
    std::string_view GroupDate(std::size_t group) const { return Dates.Text(Groups[group].Date); }
    std::int64_t GroupYear(std::size_t group) const { return DateFacts[Groups[group].Date].Year; }
    std::int64_t GroupMonth(std::size_t group) const { return DateFacts[Groups[group].Date].Month; }
    std::string_view Distance(std::size_t index) const { return Distances.Text(RowDistances[index]); }
    const DistanceReading &Reading(std::size_t index) const { return DistanceReadings[RowDistances[index]]; }

private:
    struct Group {
        std::uint32_t Day;
        std::uint32_t Date;
    };
    // The numbers of one row's key texts.
    struct KeyedRow {
        std::uint32_t Day;
        std::uint32_t Date;
        std::uint32_t Distance;
    };
    struct DateFact {
        std::int64_t Year;
        std::int64_t Month;
    };
    // What TakeRows knows of one of the list's Date texts: its number here and its day, or that it gives no key
    // (Unkeyed) or must be keyed with its row's other texts (Tabbed); how many rows it dates, then their group.
    struct ListDate {
        std::uint32_t Id = Unread;
        std::uint32_t Day = 0;
        std::uint32_t Rows = 0;
        std::uint32_t Group = 0;
    };
    static constexpr std::uint32_t Unread = std::numeric_limits<std::uint32_t>::max();
    static constexpr std::uint32_t Unkeyed = Unread - 1;
    static constexpr std::uint32_t Tabbed = Unread - 2;
    ListDate ReadListDate(std::string_view date);
    // The number here of a Distance text of the list, or Tabbed.
    std::uint32_t ReadListDistance(std::string_view distance);
    // Makes the groups of the counted rows and places each row's Distance number in its group.
    void PlaceRows(const LogList &list);
    // The row of these texts with the numbers of its key's texts, or nothing for a row without a key.
    std::optional<KeyedRow> KeyRow(std::string_view date, std::string_view distance, std::string_view time);
    std::uint32_t InternDate(std::string_view date);
    std::uint32_t InternDistance(std::string_view distance);
    // Whether a group comes before another in key order: by day, then by Date text.
    bool Before(const Group &left, std::uint32_t day, std::uint32_t date) const;
    // The place of the first group that does not come before the row's group.
    std::size_t GroupAt(const KeyedRow &row) const;
    // Whether the group at this place is the row's.
    bool HoldsGroup(std::size_t group, const KeyedRow &row) const;

    std::vector<Group> Groups;
    // The place of each group's first row, then the number of rows: apart from the groups, so that a row added
    // or removed moves the later places in one quick pass.
    std::vector<std::uint32_t> GroupFirsts{0};
    std::vector<std::uint32_t> RowDistances;
    int Taken = 0;
    TextPool Dates;
    TextPool Distances;
    std::vector<DateFact> DateFacts;               // by number
    std::vector<DistanceReading> DistanceReadings; // by number
    std::string Scratch;
    // While the rows are taken, by the list's text numbers; the rows keyed through their texts, which are few.
    std::vector<ListDate> ListDates;
    std::vector<std::uint32_t> ListDistances;
    std::vector<KeyedRow> TabbedRows;
};

} // namespace pq
