#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "insight/CountedRuns.h"

namespace pq {

struct StandardDistance {
    std::string_view Label;
    double Kilometers;
};

// The distances whose best times are kept, shortest first.
inline constexpr std::array<StandardDistance, 5> StandardDistances = {{
    {"1 Mile", 1.609344},
    {"5K", 5.0},
    {"10K", 10.0},
    {"Half Marathon", 21.0975},
    {"Marathon", 42.195},
}};
inline constexpr std::string_view LongestRunLabel = "Longest Run";

// A run is a candidate for a standard distance when its distance is within this fraction of it.
inline constexpr double CandidateTolerance = 0.015;
// Riegel's formula: T2 = T1 x (D2 / D1) ^ 1.06.
inline constexpr double RiegelExponent = 1.06;
// Predictions come from the best effort of this many days, today included.
inline constexpr int PredictionDays = 365;

struct RunRecord {
    std::string_view Label;
    CountedRun Run;
};

enum class PeriodKind { Week, Month, Year };

struct PeriodRecord {
    PeriodKind Kind = PeriodKind::Week;
    int FirstDay = 0;
    int LastDay = 0;
    RunTotals Totals;
};

struct Prediction {
    std::string_view Label;
    double Kilometers = 0;
    double Seconds = 0;
};

struct PersonalRecords {
    std::vector<RunRecord> Best; // in the order of StandardDistances; a distance without a candidate is left out
    std::optional<RunRecord> Longest;
    std::optional<PeriodRecord> BiggestWeek;
    std::optional<PeriodRecord> BiggestMonth;
    std::optional<PeriodRecord> BiggestYear;
    // The standard-distance effort of the last PredictionDays days that Riegel's formula rates best, and the
    // times it predicts for every standard distance.
    std::optional<RunRecord> PredictionBase;
    std::vector<Prediction> Predictions;
};

// Records of counted runs in the statistics' order (CountRuns). The smallest time above zero wins; on equal
// times the earlier date, then the earlier row. The longest run and the biggest periods go by miles, the earlier
// one winning a tie. Weeks begin on weekStart (0 Monday .. 6 Sunday).
PersonalRecords ComputeRecords(const std::vector<CountedRun> &runs, int today, int weekStart);

// The first and last day of the week, month or year that holds the day.
struct DayRange {
    int FirstDay = 0;
    int LastDay = 0;
};
DayRange PeriodAround(PeriodKind kind, int dayNumber, int weekStart);

// Whether a distance in kilometers is within CandidateTolerance of the standard one.
bool IsCandidate(double kilometers, double standardKilometers);

// The time Riegel's formula predicts for a distance from a time at another (both in kilometers).
double RiegelTime(double seconds, double fromKilometers, double toKilometers);

} // namespace pq
