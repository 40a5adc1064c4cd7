#include "insight/PaceBand.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace pq {

namespace {

constexpr std::int64_t HundredthsPerMinute = 6000;
constexpr std::int64_t HundredthsPerHour = 360000;
constexpr std::int64_t TwoDigits = 10;
constexpr double FullPercent = 100;
// Half a hundredth of a split unit: a last split shorter than this joins the split before it.
constexpr double WholeTolerance = 0.005;
// A split's end is given to a thousandth of a unit: a meter of a kilometer, under two yards of a mile.
constexpr int EndPlaces = 3;
// Room for the text of a split's end: at most MostPaceSplits units, the point and the places.
constexpr std::size_t EndTextSize = 32;
constexpr std::int64_t SecondsPerMinute = 60;
constexpr std::int64_t MinutesPerHour = 60;

void AppendTwoDigits(std::string &text, std::int64_t value) {
    text += static_cast<char>('0' + value / TwoDigits);
    text += static_cast<char>('0' + value % TwoDigits);
}

} // namespace

PaceBand ComputePaceBand(double distance, std::int64_t time, double percent, std::int64_t step) {
    PaceBand band;
    const auto rounded = [step](double hundredths) {
        return static_cast<std::int64_t>(std::llround(hundredths / static_cast<double>(step))) * step;
    };
    time = rounded(static_cast<double>(time));
    if (!std::isfinite(distance) || distance <= 0) {
        band.Error = PaceBandError::Distance;
        return band;
    }
    if (time <= 0) {
        band.Error = PaceBandError::Time;
        return band;
    }
    if (!(percent >= 0 && percent < FullPercent)) {
        band.Error = PaceBandError::Negative;
        return band;
    }
    const double nearestWhole = std::round(distance);
    const bool wholeDistance = std::fabs(distance - nearestWhole) < WholeTolerance && nearestWhole >= 1;
    const double wholeSplits = wholeDistance ? nearestWhole - 1 : std::floor(distance);
    if (wholeSplits >= static_cast<double>(MostPaceSplits)) {
        band.Error = PaceBandError::TooManySplits;
        return band;
    }
    // Time per unit in each half: first·d/2 + second·d/2 = time with second = first·(1 − percent/100).
    const double half = distance / 2;
    const double faster = 1 - percent / FullPercent;
    const double firstPace = static_cast<double>(time) / (half * (1 + faster));
    const double secondPace = firstPace * faster;
    const auto elapsedAt = [&](double at) {
        const double exact = at <= half ? firstPace * at : firstPace * half + secondPace * (at - half);
        return rounded(exact);
    };
    const std::size_t count = static_cast<std::size_t>(wholeSplits);
    std::int64_t before = 0;
    for (std::size_t i = 1; i <= count; ++i) {
        const std::int64_t elapsed = elapsedAt(static_cast<double>(i));
        band.Splits.push_back({static_cast<double>(i), true, elapsed - before, elapsed});
        before = elapsed;
    }
    band.Splits.push_back({wholeDistance ? nearestWhole : distance, wholeDistance, time - before, time});
    return band;
}

std::string FormatSplitSeconds(std::int64_t hundredths) {
    const std::int64_t seconds = (hundredths + HundredthsPerSecond / 2) / HundredthsPerSecond;
    const std::int64_t minutes = seconds / SecondsPerMinute;
    std::string text;
    if (minutes >= MinutesPerHour) {
        text = std::to_string(minutes / MinutesPerHour) + ':';
        AppendTwoDigits(text, minutes % MinutesPerHour);
    } else {
        text = std::to_string(minutes);
    }
    text += ':';
    AppendTwoDigits(text, seconds % SecondsPerMinute);
    return text;
}

std::string SplitEndText(const PaceSplit &split) {
    if (split.Whole) {
        return std::to_string(std::llround(split.End));
    }
    std::array<char, EndTextSize> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*f", EndPlaces, split.End);
    std::string text(buffer.data());
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string FormatSplitTime(std::int64_t hundredths) {
    std::string text = std::to_string(hundredths / HundredthsPerHour);
    text += ':';
    AppendTwoDigits(text, hundredths % HundredthsPerHour / HundredthsPerMinute);
    text += ':';
    AppendTwoDigits(text, hundredths % HundredthsPerMinute / HundredthsPerSecond);
    text += '.';
    AppendTwoDigits(text, hundredths % HundredthsPerSecond);
    return text;
}

} // namespace pq
