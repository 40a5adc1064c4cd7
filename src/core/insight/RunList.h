#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "insight/CountedRun.h"

namespace pq {

// Counted runs in the statistics' order, 16 bytes a run: each run keeps its row and the numbers of its day, its
// distance and its time in tables of the distinct values, which logs repeat. Reading a run gives a whole
// CountedRun by value, so the runs are walked, indexed and searched as a vector of CountedRun would be.
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

    std::size_t size() const { return Runs.size(); }
    bool empty() const { return Runs.empty(); }
    CountedRun operator[](std::size_t place) const { return RunOf(Runs[place]); }
    CountedRun front() const { return (*this)[0]; }
    CountedRun back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }
    // The run at this place as kept.
    const Numbers &NumbersAt(std::size_t place) const { return Runs[place]; }

    // Puts the run at the place, before the run there; its values become entries of the tables.
    void Insert(const_iterator at, const CountedRun &run);
    void Erase(const_iterator at);
    // Moves the row of every run at or after the row `first` on by `offset` rows.
    void MoveRows(int first, int offset);

private:
    CountedRun RunOf(const Numbers &run) const {
        const Distance &distance = Distances[run.Distance];
        return {static_cast<int>(run.Row), Days[run.Date], distance.Miles, distance.Kilometers, Seconds[run.Time]};
    }
    Numbers Append(const CountedRun &run);

    std::vector<Numbers> Runs;
    std::vector<int> Days;
    std::vector<Distance> Distances;
    std::vector<double> Seconds;
};

} // namespace pq
