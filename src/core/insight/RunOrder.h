#pragma once

// The pieces the run counters share to put runs in the statistics' order: the parts of a key's texts that order a
// day's rows, dense ranks of distinct texts, and placing items by a small key in place.

#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "insight/CountedRuns.h"
#include "stats/RowKey.h"

namespace pq::run_order {

inline bool HasTab(std::string_view text) {
    return text.find(KeySeparator) != std::string_view::npos;
}

inline std::string_view KeyDistance(std::string_view distance) {
    return distance.substr(0, KeyDistanceWidth);
}

inline std::string_view KeyTime(std::string_view time) {
    return time.substr(0, KeyTimeWidth);
}

// The rank of each text in the order `less` gives; texts that neither comes before share a rank.
template <class Texts, class Less> std::vector<std::uint32_t> DenseRanks(const Texts &texts, Less less) {
    std::vector<std::uint32_t> order(texts.Size());
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t left, std::uint32_t right) { return less(texts.Text(left), texts.Text(right)); });
    std::vector<std::uint32_t> ranks(order.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && less(texts.Text(order[i - 1]), texts.Text(order[i]))) {
            ++rank;
        }
        ranks[order[i]] = rank;
    }
    return ranks;
}

// Days are placed in blocks of this many (a power of two), first by block over all rows, then by day within each
// block, so that each pass writes to few enough places at once to find them in the cache.
constexpr int DayBlockBits = 8;
constexpr std::size_t DaysPerBlock = std::size_t{1} << DayBlockBits;
// The blocks a thread takes at a time.
constexpr int DayBlocksPerChunk = 4;

constexpr std::size_t BlockOf(int day) {
    return static_cast<std::size_t>(day) >> DayBlockBits;
}

// Puts the items from first up to last in the order of their keys (below `keys`) in their own array: the items of
// each key are counted, then each item is swapped into the next free place of its key until the place being
// filled gets an item of its own key (an American flag pass). Gives the first place of each key's items, and the
// end.
template <class Item, class Key>
std::vector<std::size_t> PlaceByKey(Item *first, Item *last, std::size_t keys, Key key) {
    std::vector<std::size_t> starts(keys + 1, 0);
    for (const Item *item = first; item != last; ++item) {
        ++starts[key(*item) + 1];
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<std::size_t> next(starts.begin(), starts.end() - 1);
    for (std::size_t place = 0; place < keys; ++place) {
        for (; next[place] < starts[place + 1]; ++next[place]) {
            Item item = first[next[place]];
            for (std::size_t home = key(item); home != place; home = key(item)) {
                std::swap(item, first[next[home]++]);
            }
            first[next[place]] = item;
        }
    }
    return starts;
}

// The part of a row's key after its day number and weekday, which orders the rows of one day.
inline std::string KeyTail(const RunTexts &texts) {
    std::string tail(texts.Date);
    tail += KeySeparator;
    tail.append(KeyDistance(texts.Distance));
    tail += KeySeparator;
    tail.append(KeyTime(texts.Time));
    return tail;
}

} // namespace pq::run_order
