#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "insight/CountedRun.h"
#include "insight/PartThreads.h"
#include "insight/RunList.h"
#include "log/RowSink.h"
#include "log/TextPool.h"
#include "stats/PeriodTotals.h"

namespace pq {

class LogList;

// A row is a run that counts when its Date passes the date rules (a real yyyy/mm/dd date) and its Distance has a
// number and a unit word the statistics recognise. The run's distance in all three units, or nothing.
std::optional<UnitTotals> CountedRunDistance(std::string_view date, std::string_view distance);

// A Distance text as the statistics read it: a number in front and a recognised unit word after the blank; the
// distance in all three units, or nothing.
std::optional<UnitTotals> RunDistance(std::string_view distance);

// Picks the rows that take part (a tag, for example); an empty filter takes every row.
using RowFilter = std::function<bool(int row)>;

// The counted rows in the statistics' order: by date, rows of one day by their Distance and Time texts, then in
// list order. Totals formed in this order equal the statistics' to the last bit. The runs are read through the list
// (RunList), which must outlive them. A big list is counted a part on each core (CountingParts).
RunList CountRuns(const LogList &list, const RowFilter &filter = {});
// The same, counted and put in order on this many threads.
RunList CountRunsInParts(const LogList &list, const RowFilter &filter, std::size_t parts);

// The run of one row at this index of a list as CountRuns counts it, or nothing when the row is not a run that
// counts.
std::optional<CountedRun> CountedRunOf(int row, std::string_view date, std::string_view distance,
                                       std::string_view time);

// Whether a counted run comes before another in CountRuns' order; both rows are read from the list.
bool RunBefore(const LogList &list, const CountedRun &left, const CountedRun &right);

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
};

// The first run on or after the day.
RunList::const_iterator FirstRunFrom(const RunList &runs, int dayNumber);

// The totals of the runs from the first day through the last, both included.
RunTotals TotalsBetween(const RunList &runs, int firstDay, int lastDay);

// A row's Date, Distance and Time texts as they stand in the log.
struct RunTexts {
    std::string_view Date;
    std::string_view Distance;
    std::string_view Time;
};

// Counts the runs of rows handed over in list order, keeping per row only its day and the numbers of its Date,
// Distance and Time texts. Each distinct text is kept, read and ranked once, so the statistics' order (CountRuns)
// comes from the ranks of a day's texts, without composing or comparing the rows' keys, and a big file can be
// counted a part on each core.
class RunCounter : public RowSink {
public:
    // A row of a log file as a row text; rows are numbered from 0 in the order they come.
    void TakeRow(std::string_view rowText) override;
    // The row at this index of a list; rows come in list order.
    void AddRow(int row, std::string_view date, std::string_view distance, std::string_view time);
    // The rows of the list that the filter takes (every row for an empty one), numbered as in the list. A counter
    // takes the rows of one list only.
    void AddRows(const LogList &list, const RowFilter &filter);
    // Adds the rows of a later part of the same file, numbered after every row this counter has taken.
    void Append(const RunCounter &later);
    // The counted runs in the statistics' order, put in order on this many threads; call once, after the last
    // row. The rows' array becomes the runs'.
    RunList Finish(std::size_t parts = 1);
    // The texts of a counted row, from the runs Finish gave.
    RunTexts Texts(const RunList &runs, int row) const;

private:
    // A row taken is kept as its run will be: its index and the numbers of its Date, Distance and Time texts. A
    // row whose key has no tab inside its Date or cut Distance text is put in order by the ranks of its texts; any
    // other row, rare, by its key's texts. Such a row's counted distance is kept beside the rows.
    using Row = RunList::Numbers;
    struct DateFacts {
        int Day;     // -1 when the text gives a row no key
        bool Counts; // a real date by the date rules
        bool Tabbed; // a tab inside makes a row's key be composed
    };
    struct DistanceFacts {
        std::optional<UnitTotals> Reading; // of the text cut as in a key
        bool Tabbed;                       // a tab inside the cut text makes a row's key be composed
    };
    struct TabbedDistance {
        int Row;
        std::uint32_t Text; // the row's Distance text
        UnitTotals Counted;
    };
    // By another counter's number of each of its texts, this counter's.
    struct TextNumbers {
        std::vector<std::uint32_t> Dates;
        std::vector<std::uint32_t> Distances;
        std::vector<std::uint32_t> Times;

        // A row of the other counter with this counter's numbers, its index moved on by `offset`.
        Row Renumbered(const Row &row, int offset) const;
    };
    // Takes the other counter's texts, and the distances of its tabbed rows with their indexes moved on by
    // `offset`.
    TextNumbers TakeTexts(const RunCounter &other, int offset);
    std::uint32_t InternDate(std::string_view date);
    std::uint32_t InternDistance(std::string_view distance);
    std::uint32_t InternTime(std::string_view time);
    void Rank();
    int DayOf(const Row &row) const { return DateFactsOf[row.Date].Day; }
    bool Tabbed(const Row &row) const { return DateFactsOf[row.Date].Tabbed || DistanceFactsOf[row.Distance].Tabbed; }
    bool Before(const Row &left, const Row &right) const;
    // The tables of the runs' distances: the readings of the Distance texts, then the tabbed rows' own.
    std::vector<RunList::Distance> RunDistances() const;

    std::vector<Row> Rows;
    int Taken = 0;
    TextPool Dates;
    TextPool Distances;
    TextPool Times;
    std::vector<DateFacts> DateFactsOf;
    std::vector<std::uint32_t> UsualDateIds; // a usual date's number plus one by its slot, 0 for none yet
    std::vector<DistanceFacts> DistanceFactsOf;
    std::vector<double> SecondsOf;
    // Ranks in the key's order: the Date text, the Distance text cut as in a key, the Time text likewise.
    std::vector<std::uint32_t> DateRank;
    std::vector<std::uint32_t> DistanceRank;
    std::vector<std::uint32_t> TimeRank;
    std::vector<TabbedDistance> TabbedDistances; // by row
    // The list whose rows AddRows takes, and for each of its texts (by the list's number) this counter's number
    // plus one, TabbedText for a text that makes its row's key be composed, or 0 when not met yet.
    static constexpr std::uint32_t TabbedText = std::numeric_limits<std::uint32_t>::max();
    const LogList *Counted = nullptr;
    std::vector<std::uint32_t> ListDates;
    std::vector<std::uint32_t> ListDistances;
    std::vector<std::uint32_t> ListTimes;
};

} // namespace pq
