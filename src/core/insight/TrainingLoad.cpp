#include "insight/TrainingLoad.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pq {

namespace {

constexpr double SecondsPerMinute = 60;
constexpr int LoadDecimals = 1;
constexpr int RatioDecimals = 2;
constexpr long long Decimal = 10;

// The sum of the loads of the `days` days that end at index `last` of the loads (those before the first day are
// 0), added from the earliest so that equal windows give equal sums to the last bit.
double WindowSum(const std::vector<double> &loads, std::size_t last, int days) {
    const std::size_t first = last + 1 >= std::size_t(days) ? last + 1 - std::size_t(days) : 0;
    double sum = 0;
    for (std::size_t i = first; i <= last && i < loads.size(); ++i) {
        sum += loads[i];
    }
    return sum;
}

// A value rounded half away from zero to `decimals` decimals; a value that rounds to zero is written without a
// sign.
std::string RoundedText(double value, int decimals) {
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= Decimal;
    }
    const long long units = std::llround(value * static_cast<double>(scale));
    const long long whole = std::llabs(units) / scale;
    std::string fraction = std::to_string(std::llabs(units) % scale);
    fraction.insert(0, std::size_t(decimals) - fraction.size(), '0');
    // Appended piece by piece: GCC 12 at -O3 warns wrongly about a text built by insertion in front.
    std::string text = units < 0 ? "-" : "";
    text += std::to_string(whole);
    text += '.';
    text += fraction;
    return text;
}

} // namespace

double RunLoad(double seconds, int effort) {
    return seconds / SecondsPerMinute * effort;
}

std::vector<LoadDay> TrainingLoadSeries(const DailyLoads &loads, int lastDay) {
    std::vector<LoadDay> series;
    if (loads.Loads.empty() || lastDay < loads.FirstDay) {
        return series;
    }
    series.reserve(static_cast<std::size_t>(lastDay - loads.FirstDay) + 1);
    double fitness = 0;
    double fatigue = 0;
    for (int day = loads.FirstDay; day <= lastDay; ++day) {
        const auto index = std::size_t(day - loads.FirstDay);
        LoadDay today;
        today.DayNumber = day;
        today.Load = index < loads.Loads.size() ? loads.Loads[index] : 0;
        today.Form = fitness - fatigue;
        fitness += (today.Load - fitness) / FitnessDays;
        fatigue += (today.Load - fatigue) / FatigueDays;
        today.Fitness = fitness;
        today.Fatigue = fatigue;
        if (index + 1 >= std::size_t(ChronicDays)) {
            const double chronic = WindowSum(loads.Loads, index, ChronicDays);
            if (chronic > 0) {
                // (acute / AcuteDays) / (chronic / ChronicDays), rounded once less.
                today.Ratio = WindowSum(loads.Loads, index, AcuteDays) * ChronicDays / (chronic * AcuteDays);
            }
        }
        series.push_back(today);
    }
    return series;
}

const LoadDay *LoadOn(const std::vector<LoadDay> &series, int dayNumber) {
    if (series.empty() || dayNumber < series.front().DayNumber || dayNumber > series.back().DayNumber) {
        return nullptr;
    }
    return &series[std::size_t(dayNumber - series.front().DayNumber)];
}

LoadZone ZoneOf(double ratio) {
    if (ratio < LowRatio) {
        return LoadZone::Low;
    }
    if (ratio <= SteadyRatio) {
        return LoadZone::Steady;
    }
    return ratio <= CautionRatio ? LoadZone::Caution : LoadZone::High;
}

std::string_view ZoneName(LoadZone zone) {
    switch (zone) {
    case LoadZone::Low:
        return "low";
    case LoadZone::Steady:
        return "steady";
    case LoadZone::Caution:
        return "caution";
    case LoadZone::High:
        return "high";
    }
    return {};
}

bool IsLoadWarning(const std::optional<double> &ratio) {
    return ratio && ZoneOf(*ratio) >= LoadZone::Caution;
}

std::string LoadText(double value) {
    return RoundedText(value, LoadDecimals);
}

std::string RatioText(const std::optional<double> &ratio) {
    return ratio ? RoundedText(*ratio, RatioDecimals) : std::string();
}

std::string LoadSummaryText(const LoadDay &day) {
    std::string text =
        "Fitness " + LoadText(day.Fitness) + ", fatigue " + LoadText(day.Fatigue) + ", form " + LoadText(day.Form);
    if (day.Ratio) {
        text += "; ACWR " + RatioText(day.Ratio) + " (" + std::string(ZoneName(ZoneOf(*day.Ratio))) + ")";
    }
    return text;
}

} // namespace pq
