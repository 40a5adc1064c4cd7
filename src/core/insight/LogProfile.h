#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/RunArithmetic.h"

namespace pq {

// What a log's profile (see log/ProfileFile.h) says, line by line:
//   shoe @NAME [limit N UNIT] [start N UNIT] [retired YYYY/MM/DD] [default]   (the options in any order)
//   goal year|month|week N UNIT [tag T]
//   goal N UNIT from YYYY/MM/DD thru YYYY/MM/DD [tag T]
//   week-start DAY
// UNIT is mi, km, miles or kilometers; the words are compared without their case. A line that cannot be read is
// reported with its number and the reason and left out; the rest still counts.

// A distance as the profile writes it: a number of miles or kilometers.
struct ProfileDistance {
    double Value = 0;
    DistanceUnit Unit = DistanceUnit::Miles; // Miles or Kilometers
    bool operator==(const ProfileDistance &) const = default;
};

// The distance in miles or kilometers, by the statistics' factors.
double InUnit(const ProfileDistance &distance, DistanceUnit unit);

struct ShoeSettings {
    std::string Name; // in Windows-1252, as the notes write it after "@" (compared without case)
    std::optional<ProfileDistance> Limit;
    std::optional<ProfileDistance> Start;
    std::optional<int> RetiredDay; // a day number (stats/StatsCalendar.h)
    bool Default = false;
    int Line = 0; // 1 for the file's first line; 0 for a shoe the file does not name
    bool operator==(const ShoeSettings &) const = default;
};

enum class GoalPeriod { Year, Month, Week, Stretch };

struct Goal {
    GoalPeriod Period = GoalPeriod::Year;
    ProfileDistance Target;
    int FirstDay = 0; // a stretch's from and thru day numbers
    int LastDay = 0;
    std::string Tag; // in Windows-1252, without "#"; empty for every run
    int Line = 0;
};

struct ProfileProblem {
    int Line = 0;
    std::string Reason;
};

struct LogProfile {
    bool Exists = false;
    std::string Error;               // the path and the cause when the profile exists but cannot be read
    std::vector<ShoeSettings> Shoes; // in the file's order
    std::vector<Goal> Goals;         // in the file's order
    std::optional<int> WeekStart;    // 0 Monday .. 6 Sunday
    std::vector<ProfileProblem> Problems;
};

// The words of the lines.
inline constexpr std::string_view ShoeWord = "shoe";
inline constexpr std::string_view GoalWord = "goal";
inline constexpr std::string_view WeekStartWord = "week-start";
inline constexpr std::string_view LimitWord = "limit";
inline constexpr std::string_view StartWord = "start";
inline constexpr std::string_view RetiredWord = "retired";
inline constexpr std::string_view DefaultWord = "default";
inline constexpr std::string_view TagWord = "tag";
inline constexpr std::string_view FromWord = "from";
inline constexpr std::string_view ThruWord = "thru";

LogProfile ParseProfile(std::string_view text);
// The profile of a log; without one, an empty profile that does not exist.
LogProfile ReadLogProfile(const std::string &logPath);

// The settings of a shoe by its name (without case), or null.
const ShoeSettings *FindShoe(const LogProfile &profile, std::string_view name);
// The shoe marked default, or null.
const ShoeSettings *DefaultShoe(const LogProfile &profile);

// "runs.pquil.profile: line 3: <reason>", the path in UTF-8 as given.
std::string ProblemText(std::string_view profilePath, const ProfileProblem &problem);

// The line that holds the settings, its distances in their own units.
std::string ShoeLine(const ShoeSettings &settings);

// Writes one shoe's settings into the log's profile under the log's lock: the shoe's line is replaced (its
// comment kept) or, when the file has none, added at the end; when the shoe is made the default, "default" is
// taken off the other shoes' lines. Every other line stays as it was. False with the path and the cause in error
// when the profile could not be read or written.
bool SaveShoeSettings(const std::string &logPath, const ShoeSettings &settings, std::string &error);

} // namespace pq
