#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pq {

// A race pace band: the time of each mile or kilometer of a race run in a given time, with the elapsed time at
// the end of each. Times are counted in hundredths of a second and rounded to a step (a whole second, as on a
// wristband, or a hundredth): each elapsed time is the exact one rounded, each split the difference of two elapsed
// times, so the splits add up exactly to the race time.

// A band longer than this many splits is refused: no race needs one, and a mistyped distance would print
// millions of lines.
inline constexpr std::size_t MostPaceSplits = 1000;
inline constexpr std::int64_t HundredthsPerSecond = 100;

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

// The splits of a race of `distance` split units run in `time` hundredths, each time rounded to a multiple of
// `step` hundredths (the race time too, first). With a negative split of `percent`,
// each unit of the second half takes that many percent less time than one of the first, the total unchanged.
// The last split ends at the race distance; it is shorter than a unit when the distance is not whole. A distance
// within half a hundredth of a whole number counts as that whole number.
// Errors: a distance not above zero or not finite; a time not above zero once rounded; a percent outside 0 to
// below 100; more than MostPaceSplits splits.
PaceBand ComputePaceBand(double distance, std::int64_t time, double percent, std::int64_t step);

// H:MM:SS.ss, hours as many digits as they need: 0:07:30.00, 3:29:36.50.
std::string FormatSplitTime(std::int64_t hundredths);
// Whole seconds (rounded) as M:SS below an hour and H:MM:SS from an hour on: 7:30, 3:29:37.
std::string FormatSplitSeconds(std::int64_t hundredths);
// A split's end: a whole number of units as it is (1, 2, ...), the race distance to the meter, as in 42.195.
std::string SplitEndText(const PaceSplit &split);

} // namespace pq
