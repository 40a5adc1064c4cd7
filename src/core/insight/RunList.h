#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

#include "insight/CountedRun.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

// Counted runs in the statistics' order. Runs counted from a file keep their row and the numbers of their day,
// distance and time in tables of the distinct values, which logs repeat: 16 bytes a run. Runs counted from a log
// list are read through it: a run is only its row, 4 bytes, and its day, distance and time are looked up by the
// list's numbers of the row's texts, each distinct text read once. Reading a run gives a whole CountedRun by value,
// so the runs are walked, indexed and searched as a vector of CountedRun would be.
class RunList {
public:
    // A run as kept: its row and its places in the tables.
    struct Numbers {
        // Left unset, so that room made for runs ahead of counting them (a place for every row) takes no memory
        // where no run is written.
        // NOLINTNEXTLINE(modernize-use-equals-default): a defaulted one has a vector set every member to 0
        Numbers() {}
        Numbers(std::uint32_t row, std::uint32_t date, std::uint32_t distance, std::uint32_t time)
            : Row(row), Date(date), Distance(distance), Time(time) {}

        std::uint32_t Row;
        std::uint32_t Date;
        std::uint32_t Distance;
        std::uint32_t Time;
    };
    // A run's distance in the units the runs are added up in.
    struct Distance {
        double Miles;
        double Kilometers;

        bool operator==(const Distance &) const = default;
    };
    // A run read through a list whose distance is not its Distance text's reading (a tab inside its key's texts
    // moves the places at which the statistics take the key apart): its row and its own distance.
    struct OwnDistance {
        std::uint32_t Row;
        Distance Counted;
    };

    // A random-access iterator that gives each run by value.
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = CountedRun;
        using difference_type = std::ptrdiff_t;
        using reference = CountedRun;
        // What `->` gives: the run, held for the expression.
        struct pointer {
            CountedRun Run;
            const CountedRun *operator->() const { return &Run; }
        };

        const_iterator() = default;
        const_iterator(const RunList *runs, std::size_t place) : Runs(runs), Place(place) {}

        CountedRun operator*() const { return (*Runs)[Place]; }
        pointer operator->() const { return {**this}; }
        CountedRun operator[](difference_type offset) const { return *(*this + offset); }
        std::size_t Index() const { return Place; }

        const_iterator &operator++() { return *this += 1; }
        const_iterator operator++(int) { return Moved(*this, 1); }
        const_iterator &operator--() { return *this -= 1; }
        const_iterator operator--(int) { return Moved(*this, -1); }
        const_iterator &operator+=(difference_type offset) {
            Place = static_cast<std::size_t>(static_cast<difference_type>(Place) + offset);
            return *this;
        }
        const_iterator &operator-=(difference_type offset) { return *this += -offset; }
        friend const_iterator operator+(const_iterator at, difference_type offset) { return at += offset; }
        friend const_iterator operator+(difference_type offset, const_iterator at) { return at += offset; }
        friend const_iterator operator-(const_iterator at, difference_type offset) { return at -= offset; }
        friend difference_type operator-(const const_iterator &left, const const_iterator &right) {
            return static_cast<difference_type>(left.Place) - static_cast<difference_type>(right.Place);
        }
        friend bool operator==(const const_iterator &left, const const_iterator &right) {
            return left.Place == right.Place;
        }
        friend auto operator<=>(const const_iterator &left, const const_iterator &right) {
            return left.Place <=> right.Place;
        }

    private:
        // The iterator as it was, after moving it on.
        static const_iterator Moved(const_iterator &at, difference_type offset) {
            const const_iterator was = at;
            at += offset;
            return was;
        }

        const RunList *Runs = nullptr;
        std::size_t Place = 0;
    };
    using iterator = const_iterator;
    using value_type = CountedRun;
    using size_type = std::size_t;

    RunList() = default;
    // Runs handed over with their tables: a day by Date, a distance by Distance, seconds by Time.
    RunList(std::vector<Numbers> runs, std::vector<int> days, std::vector<Distance> distances,
            std::vector<double> seconds);
    // Runs built one by one (tests, small callers): each run's values become entries of the tables.
    RunList(const std::vector<CountedRun> &runs);
    // Runs read through the list, which must outlive them and whose edits they must follow (Insert, Erase,
    // MoveRows): the runs' rows in order, the runs among them with their own distance (by row), and the days,
    // distances and seconds of the list's texts by the list's numbers of them (TextDay, TextDistance, TextSeconds).
    RunList(const LogList &list, std::vector<std::uint32_t> rows, std::vector<OwnDistance> own, std::vector<int> days,
            std::vector<Distance> distances, std::vector<double> seconds);

    // What a run reads from each distinct text of its row: the day of its Date (0 without one), the distance of
    // its Distance as the statistics cut and read it (0 without a reading), and the seconds of its Time.
    static int TextDay(std::string_view date);
    static Distance TextDistance(std::string_view distance);
    static double TextSeconds(std::string_view time);

    std::size_t size() const { return List ? Rows.size() : Runs.size(); }
    bool empty() const { return size() == 0; }
    CountedRun operator[](std::size_t place) const {
        if (!List) {
            return RunOf(Runs[place]);
        }
        // Runs are read in order far more than at random: the record of a run a little further on is asked for
        // ahead, so that its fetch from memory overlaps the reads of the runs before it.
        if (place + ReadAhead < Rows.size()) {
            List->PrefetchRecord(static_cast<int>(Rows[place + ReadAhead]));
        }
        return ListedRun(Rows[place]);
    }
    CountedRun front() const { return (*this)[0]; }
    CountedRun back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }
    // The run at this place as kept, for runs counted from a file.
    const Numbers &NumbersAt(std::size_t place) const { return Runs[place]; }

    // Puts the run at the place, before the run there; its values become entries of the tables. Runs read through
    // a list read the texts the list gained since, and take the run's row, which the list holds already.
    void Insert(const_iterator at, const CountedRun &run);
    void Erase(const_iterator at);
    // Moves the row of every run at or after the row `first` on by `offset` rows.
    void MoveRows(int first, int offset);

private:
    static constexpr std::size_t ReadAhead = 16;

    CountedRun RunOf(const Numbers &run) const {
        const Distance &distance = Distances[run.Distance];
        return {static_cast<int>(run.Row), Days[run.Date], distance.Miles, distance.Kilometers, Seconds[run.Time]};
    }
    CountedRun ListedRun(std::uint32_t row) const {
        const PackedRows &ids = List->Records();
        const Distance &distance =
            Own.empty() ? Distances[ids.Id(row, DistanceColumn)] : ListedDistance(row, ids.Id(row, DistanceColumn));
        return {static_cast<int>(row), Days[ids.Id(row, DateColumn)], distance.Miles, distance.Kilometers,
                Seconds[ids.Id(row, TimeColumn)]};
    }
    const Distance &ListedDistance(std::uint32_t row, std::uint32_t text) const;
    Numbers Append(const CountedRun &run);
    // Reads the list's texts that came since the tables were made.
    void ReadNewTexts();

    // Runs counted from a file.
    std::vector<Numbers> Runs;
    // By the runs' own numbers, or by the list's numbers of its texts.
    std::vector<int> Days;
    std::vector<Distance> Distances;
    std::vector<double> Seconds;
    // Runs read through a list: their rows, and those with a distance of their own, by row.
    const LogList *List = nullptr;
    std::vector<std::uint32_t> Rows;
    std::vector<OwnDistance> Own;
};

} // namespace pq
