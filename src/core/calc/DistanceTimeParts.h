#pragma once

#include <optional>
#include <string_view>

namespace pq {

// How a row's Distance and Time texts are taken apart, the same way by the entry editor, the statistics and the
// records.

struct DistanceParts {
    std::string_view Number;   // up to the first blank after any leading blanks
    std::string_view UnitWord; // everything after that blank; empty when there is none
};
DistanceParts SplitDistanceText(std::string_view distance);

// Hours up to the first colon after any leading colons, minutes up to the next colon after the run of colons that
// follows, seconds everything after that one colon. Parts that the text runs out before are empty.
struct TimeParts {
    std::string_view Hours;
    std::string_view Minutes;
    std::string_view Seconds;
};
TimeParts SplitTimeText(std::string_view time);

// The run time of a Time text in seconds, each part read as a number (a part without one counts as 0); 0 when
// the result is not finite.
double TimeTextSeconds(std::string_view time);

// The number at the start of a text as ParseNumber reads it, or nothing when the text does not begin with one
// (after blanks and a sign) or the number is not finite.
std::optional<double> LeadingNumber(std::string_view text);

} // namespace pq
