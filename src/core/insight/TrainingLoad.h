#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// The training load model: each run's load is its minutes times its felt effort; fitness and fatigue follow the
// daily loads with exponentially weighted averages, and the acute:chronic ratio compares the last week's load
// with the last four weeks'.

// The effort of a run whose notes carry no effort marker: a steady run.
inline constexpr int UsualEffort = 5;
// The days over which fitness (chronic load) and fatigue (acute load) average.
inline constexpr int FitnessDays = 42;
inline constexpr int FatigueDays = 7;
// The acute:chronic ratio sets the daily average over this many days against the one over ChronicDays.
inline constexpr int AcuteDays = 7;
inline constexpr int ChronicDays = 28;
// The ratio's zones: below LowRatio "low", up to SteadyRatio "steady", up to CautionRatio "caution", then "high".
inline constexpr double LowRatio = 0.8;
inline constexpr double SteadyRatio = 1.3;
inline constexpr double CautionRatio = 1.5;

enum class LoadZone { Low, Steady, Caution, High };

// The loads of the days from the first counted run's day through the last one's, days without runs at 0.
struct DailyLoads {
    int FirstDay = 0;
    std::vector<double> Loads;
};

struct LoadDay {
    int DayNumber = 0;
    double Load = 0;
    double Fitness = 0; // after the day's load
    double Fatigue = 0; // after the day's load
    double Form = 0;    // going into the day: the day before's fitness less its fatigue
    std::optional<double> Ratio;
};

// The load of a run of this many seconds at this effort.
double RunLoad(double seconds, int effort);

// One day for each day from the first counted run's day through lastDay (none when lastDay is earlier). The ratio
// is given from the series' ChronicDays-th day on, when the last ChronicDays days have any load.
std::vector<LoadDay> TrainingLoadSeries(const DailyLoads &loads, int lastDay);

// The day of a series, or nothing when the series does not reach it.
const LoadDay *LoadOn(const std::vector<LoadDay> &series, int dayNumber);

LoadZone ZoneOf(double ratio);
std::string_view ZoneName(LoadZone zone);
// Whether a ratio is in the "caution" or "high" zone.
bool IsLoadWarning(const std::optional<double> &ratio);

// Fitness, fatigue, form and load with one decimal, rounded half away from zero ("-9.4", never "-0.0").
std::string LoadText(double value);
// The ratio with two decimals, rounded half away from zero; empty for none.
std::string RatioText(const std::optional<double> &ratio);
// "Fitness 41.3, fatigue 55.0, form -9.4; ACWR 1.42 (caution)", without the part after the semicolon when the day
// has no ratio.
std::string LoadSummaryText(const LoadDay &day);

} // namespace pq
