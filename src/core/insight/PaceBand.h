#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pq {

// A race pace band: the time of each mile or kilometer of a race run in a given time, with the elapsed time at
// the end of each. Times are whole hundredths of a second, so the splits add up exactly to the race time.

// A band longer than this many splits is refused: no race needs one, and a mistyped distance would print
// millions of lines.
inline constexpr std::size_t MostPaceSplits = 1000;

struct PaceSplit {
    double End = 0;           // the distance at the split's end, in split units
    bool Whole = false;       // true when End is a whole number of split units
    std::int64_t Split = 0;   // hundredths of a second
    std::int64_t Elapsed = 0; // hundredths of a second
};

enum class PaceBandError { None, Distance, Time, Negative, TooManySplits };

struct PaceBand {
    std::vector<PaceSplit> Splits;
    PaceBandError Error = PaceBandError::None;
};

// The splits of a race of `distance` split units run in `time` hundredths. With a negative split of `percent`,
// each unit of the second half takes that many percent less time than one of the first, the total unchanged.
// The last split ends at the race distance; it is shorter than a unit when the distance is not whole. A distance
// within half a hundredth of a whole number counts as that whole number.
// Errors: a distance not above zero or not finite; a time not above zero; a percent outside 0 to below 100;
// more than MostPaceSplits splits.
PaceBand ComputePaceBand(double distance, std::int64_t time, double percent);

// H:MM:SS.ss, hours as many digits as they need: 0:07:30.00, 3:29:36.50.
std::string FormatSplitTime(std::int64_t hundredths);

} // namespace pq
