#pragma once

#include <array>
#include <optional>
#include <string>
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
inline constexpr std::string_view BiggestWeekLabel = "Biggest Week";
inline constexpr std::string_view BiggestMonthLabel = "Biggest Month";
inline constexpr std::string_view BiggestYearLabel = "Biggest Year";

// A run is a candidate for a standard distance when its distance is from this fraction under it (a run logged as
// "3.1 Miles" still counts) to this fraction over it (measured races run long); a shorter run never counts.
inline constexpr double CandidateShortBy = 0.005;
inline constexpr double CandidateLongBy = 0.03;
// Riegel's formula: T2 = T1 x (D2 / D1) ^ 1.06.
inline constexpr double RiegelExponent = 1.06;
// Predictions come from the best efforts of this many days, today included.
inline constexpr int PredictionDays = 365;
// When a standard distance's recent candidates include runs with this tag, only those are its bases.
inline constexpr std::string_view RaceTag = "race";

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

// A standard distance's time, predicted from the base nearest to it; the base counts at its standard distance.
struct Prediction {
    std::string_view Label;
    double Kilometers = 0;
    double Seconds = 0;
    RunRecord Base;
};

struct PersonalRecords {
    std::vector<RunRecord> Best; // in the order of StandardDistances; a distance without a candidate is left out
    std::optional<RunRecord> Longest;
    std::optional<PeriodRecord> BiggestWeek;
    std::optional<PeriodRecord> BiggestMonth;
    std::optional<PeriodRecord> BiggestYear;
    // For each standard distance, its best candidate of the last PredictionDays days (of the RaceTag runs among
    // them when there are any), in the order of StandardDistances.
    std::vector<RunRecord> PredictionBases;
    // A time for every standard distance when there is a base.
    std::vector<Prediction> Predictions;
};

// Records of counted runs in the statistics' order (CountRuns). The smallest time above zero wins; on equal
// times the earlier date, then the earlier row. The longest run and the biggest periods go by miles, the earlier
// one winning a tie. Weeks begin on weekStart (0 Monday .. 6 Sunday). `isRace` tells the rows tagged RaceTag;
// without it no run is a race.
PersonalRecords ComputeRecords(const RunList &runs, int today, int weekStart, const RowFilter &isRace = {});

// The records of `runs` after runs were added at the end of the log, from the records before them: `runs` holds
// the added runs already, every other run is as it was, and today, weekStart and isRace are those the records
// before were computed with. The same as ComputeRecords over `runs`, without a walk over them.
PersonalRecords RecordsWithAddedRuns(PersonalRecords records, const RunList &runs, const std::vector<CountedRun> &added,
                                     int today, int weekStart, const RowFilter &isRace = {});

// The first and last day of the week, month or year that holds the day.
struct DayRange {
    int FirstDay = 0;
    int LastDay = 0;
};
DayRange PeriodAround(PeriodKind kind, int dayNumber, int weekStart);

// Whether a distance in kilometers is a candidate for the standard one (CandidateShortBy, CandidateLongBy).
bool IsCandidate(double kilometers, double standardKilometers);

// The time Riegel's formula predicts for a distance from a time at another (both in kilometers).
double RiegelTime(double seconds, double fromKilometers, double toKilometers);

// How a prediction names its base: "from the Half Marathon of 2023/04/23".
std::string BaseText(const RunRecord &base);

} // namespace pq
