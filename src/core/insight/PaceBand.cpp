#include "insight/PaceBand.h"

#include <cmath>

namespace pq {

namespace {

constexpr std::int64_t HundredthsPerSecond = 100;
constexpr std::int64_t HundredthsPerMinute = 6000;
constexpr std::int64_t HundredthsPerHour = 360000;
constexpr std::int64_t TwoDigits = 10;
constexpr double FullPercent = 100;
// Half a hundredth of a split unit: a last split shorter than this joins the split before it.
constexpr double WholeTolerance = 0.005;

void AppendTwoDigits(std::string &text, std::int64_t value) {
    text += static_cast<char>('0' + value / TwoDigits);
    text += static_cast<char>('0' + value % TwoDigits);
}

} // namespace

PaceBand ComputePaceBand(double distance, std::int64_t time, double percent) {
    PaceBand band;
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
        return static_cast<std::int64_t>(std::llround(exact));
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
