#pragma once

#include <string>
#include <string_view>

namespace pq {

enum class DistanceUnit { Miles = 0, Kilometers = 1, Marathons = 2 };
enum class PaceUnit { PerMile = 0, PerKilometer = 1 };
enum class CalcMode { Distance = 0, Time = 1, Pace = 2 };

inline constexpr double MilesPerMile = 1.0;
inline constexpr double KilometersPerMile = 1.609344;
inline constexpr double MarathonsPerMile = 0.038140644;

double UnitsPerMile(DistanceUnit unit);
double UnitsPerMile(PaceUnit unit);

// "Mile(s)", "Kilometer(s)", "Marathon(s)": the editor's list labels.
std::string_view UnitLabel(DistanceUnit unit);
// "Miles", "Kilometers", "Marathons": the word written after the number in a log entry.
std::string_view UnitWord(DistanceUnit unit);
// "per Mile", "per Kilometer".
std::string_view PaceUnitLabel(PaceUnit unit);
// "Distance", "Time", "Pace".
std::string_view CalcModeLabel(CalcMode mode);

// The unit of a distance text: contains "Mile", else "Kilo", else "Mara" (case-sensitive); false when none.
bool RecognizeUnit(std::string_view text, DistanceUnit &unit);

// The number at the start of a text (leading white space, sign, digits with one point, exponent); 0 when none.
double ParseNumber(std::string_view text);

// Two decimals, halves to the even hundredth: 5 -> "5.00", 0.05 -> "0.05". A negative value gets a leading "-".
// Gives an empty text for a value that is not finite or whose whole part does not fit a signed 32-bit integer.
std::string FormatHundredths(double value);

// Input texts longer than this are cut where they are read.
inline constexpr std::size_t CalcFieldWidth = 31;

struct CalcInput {
    CalcMode Mode = CalcMode::Pace;
    DistanceUnit Unit = DistanceUnit::Miles;
    PaceUnit Pace = PaceUnit::PerMile;
    std::string Distance;
    std::string Hours;
    std::string Minutes;
    std::string Seconds;
    std::string PaceMinutes;
    std::string PaceSeconds;
};

// The texts the calculation produces. Only the mode's own fields and the two speeds are set; an empty Hours,
// Minutes or PaceMinutes text means the field is left blank.
struct CalcResult {
    bool MissingInput = false;
    std::string Distance;
    std::string Hours;
    std::string Minutes;
    std::string Seconds;
    std::string PaceMinutes;
    std::string PaceSeconds;
    std::string Mph;
    std::string Kph;
};

struct SpeedTexts {
    std::string Mph;
    std::string Kph;
    bool Ok = true; // false when the pace gives no finite, representable speed
};

// Speed from a pace in seconds per unit and that unit's units-per-mile factor.
SpeedTexts ComputeSpeed(double paceSeconds, double unitsPerMile);

// Computes the mode's quantity and the speeds. Cases without a defined result (zero or negative totals behind
// a non-zero sum, results beyond 32 bits, infinities) come back as MissingInput of the mode.
CalcResult Calculate(const CalcInput &input);

std::string_view MissingInputMessage(CalcMode mode);
std::string_view MissingInputCaption(CalcMode mode);

} // namespace pq
