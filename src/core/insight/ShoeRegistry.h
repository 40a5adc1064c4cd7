#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "insight/CountedRuns.h"
#include "insight/LogProfile.h"

namespace pq {

class LogList;

// The distance past which a shoe is over when neither the profile nor the user gives a limit.
inline constexpr double DefaultShoeLimitMiles = 500;

enum class ShoeStatus { Active, Over, Retired };

// "active", "over", "retired".
std::string_view ShoeStatusText(ShoeStatus status);

// One shoe of the registry: the notes' runs in it and the profile's settings for it. Distances in both units.
struct ShoeRow {
    std::string Name; // the first spelling in the notes, else the profile's
    int Runs = 0;
    double Miles = 0; // the start plus the counted runs
    double Kilometers = 0;
    std::string FirstDate; // of the earliest and the latest run; empty without runs
    std::string LastDate;
    int LastRow = -1;
    ProfileDistance Limit; // its own, else the global one
    bool OwnLimit = false;
    ShoeSettings Settings; // as the profile has them (Line 0 and the name alone when it has none)
    ShoeStatus Status = ShoeStatus::Active;
};

double DistanceIn(const ShoeRow &shoe, DistanceUnit unit);
double LimitIn(const ShoeRow &shoe, DistanceUnit unit);
// The limit less the distance, below 0 when over.
double LeftIn(const ShoeRow &shoe, DistanceUnit unit);

// Every shoe the notes of the rows the filter takes name, and every shoe of the profile, in name order ignoring
// case, the retired ones last. A shoe is over when its distance, in its limit's unit, passes the limit; a
// retired one (with a retired date) never is.
std::vector<ShoeRow> CollectShoes(const LogList &list, const LogProfile &profile, const ProfileDistance &globalLimit,
                                  const RowFilter &filter = {});

// Adds " @NAME" at the end of an imported run's notes (Windows-1252), without the blank when the notes are empty,
// when they carry no "@" shoe yet and the result fits the notes' width. True when it was added.
bool AddDefaultShoe(std::string &notes, std::string_view shoeName);

// The shoes that an import took from within their limit to over it: the registry before and after the import.
std::vector<const ShoeRow *> ShoesTakenOver(const std::vector<ShoeRow> &before, const std::vector<ShoeRow> &after);

// The same for rows appended to a list, from firstAdded on, in one pass that counts only the shoes those rows name:
// an import into a big log costs one reading of its notes, and none when the rows name no shoe. The rows carry the
// name, distance, limit, settings and status, not the runs and their dates.
std::vector<ShoeRow> ShoesTakenOverBy(const LogList &list, int firstAdded, const LogProfile &profile,
                                      const ProfileDistance &globalLimit);

// "@Pegasus is now over its limit: 512.30 of 500.00 Miles", the name in UTF-8, distances in the limit's unit.
std::string TakenOverText(const ShoeRow &shoe);

} // namespace pq
