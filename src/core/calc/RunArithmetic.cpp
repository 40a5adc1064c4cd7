#include "calc/RunArithmetic.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pq {

namespace {

constexpr double SecondsPerHour = 3600.0;
constexpr double SecondsPerMinute = 60.0;
constexpr double HundredthsPerUnit = 100.0;
constexpr std::int64_t HundredthsPerWhole = 100;
constexpr std::int64_t TwoDigitLimit = 10;
// Whole counts are rounded to this many decimal places before they are truncated, so that a quotient such as
// 2.9999999999999996 hours counts as 3.
constexpr double WholeCountRounding = 1e10;
constexpr double Int32Limit = static_cast<double>(std::numeric_limits<std::int32_t>::max());

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view CutField(std::string_view text) {
    return text.substr(0, CalcFieldWidth);
}

double ReadField(std::string_view text) {
    return ParseNumber(CutField(text));
}

// The value of a number from_chars could not represent: infinite when its magnitude is at least one, otherwise
// zero. `mantissa` holds digits and at most one point, `exponent` the value of the exponent part.
double OutOfRangeValue(std::string_view mantissa, long long exponent, bool negative) {
    long long magnitude = 0;
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::size_t firstNonZero = whole.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        magnitude = static_cast<long long>(whole.size() - firstNonZero) - 1;
    } else {
        const std::string_view fraction = point == std::string_view::npos ? "" : mantissa.substr(point + 1);
        const std::size_t firstFractionDigit = fraction.find_first_not_of('0');
        if (firstFractionDigit == std::string_view::npos) {
            return negative ? -0.0 : 0.0;
        }
        magnitude = -static_cast<long long>(firstFractionDigit) - 1;
    }
    const double value = magnitude + exponent >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

// Whole units in a value after rounding it to ten decimal places; false when they do not fit 32 bits.
bool WholeCount(double value, std::int32_t &count) {
    const double rounded = std::round(value * WholeCountRounding) / WholeCountRounding;
    const double whole = std::trunc(rounded);
    if (!std::isfinite(whole) || std::fabs(whole) > Int32Limit) {
        return false;
    }
    count = static_cast<std::int32_t>(whole);
    return true;
}

std::string CountText(std::int32_t count) {
    return std::to_string(count);
}

CalcResult Missing() {
    CalcResult result;
    result.MissingInput = true;
    return result;
}

bool TakeSpeed(CalcResult &result, double paceSeconds, double unitsPerMile) {
    SpeedTexts speed = ComputeSpeed(paceSeconds, unitsPerMile);
    if (!speed.Ok) {
        return false;
    }
    result.Mph = std::move(speed.Mph);
    result.Kph = std::move(speed.Kph);
    return true;
}

struct RunTime {
    double Sum;     // hours + minutes + seconds as typed, for the missing-input test
    double Seconds; // the whole run time in seconds
};

RunTime ReadRunTime(const CalcInput &input) {
    const double hours = ReadField(input.Hours);
    const double minutes = ReadField(input.Minutes);
    const double seconds = ReadField(input.Seconds);
    return {hours + minutes + seconds, hours * SecondsPerHour + minutes * SecondsPerMinute + seconds};
}

RunTime ReadPace(const CalcInput &input) {
    const double minutes = ReadField(input.PaceMinutes);
    const double seconds = ReadField(input.PaceSeconds);
    return {minutes + seconds, minutes * SecondsPerMinute + seconds};
}

// Zero or negative quantities (or NaN) give no defined result; they are treated like missing input.
bool Usable(double value) {
    return value > 0 && std::isfinite(value);
}

CalcResult CalculateDistance(const CalcInput &input, double distanceFactor, double paceFactor) {
    const RunTime time = ReadRunTime(input);
    const RunTime pace = ReadPace(input);
    if (time.Sum == 0 || pace.Sum == 0 || !Usable(time.Seconds) || !Usable(pace.Seconds)) {
        return Missing();
    }
    CalcResult result;
    result.Distance = FormatHundredths((time.Seconds / pace.Seconds) * (distanceFactor / paceFactor));
    if (result.Distance.empty() || !TakeSpeed(result, pace.Seconds, paceFactor)) {
        return Missing();
    }
    return result;
}

CalcResult CalculateTime(const CalcInput &input, double distanceFactor, double paceFactor) {
    const double distance = ReadField(input.Distance);
    const RunTime pace = ReadPace(input);
    if (distance == 0 || pace.Sum == 0 || !Usable(distance) || !Usable(pace.Seconds)) {
        return Missing();
    }
    const double total = distance * pace.Seconds * (paceFactor / distanceFactor);
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    if (!WholeCount(total / SecondsPerHour, hours) ||
        !WholeCount((total - hours * SecondsPerHour) / SecondsPerMinute, minutes)) {
        return Missing();
    }
    CalcResult result;
    result.Hours = hours == 0 ? std::string() : CountText(hours);
    result.Minutes = hours == 0 && minutes == 0 ? std::string() : CountText(minutes);
    result.Seconds = FormatHundredths(total - hours * SecondsPerHour - minutes * SecondsPerMinute);
    if (result.Seconds.empty() || !TakeSpeed(result, pace.Seconds, paceFactor)) {
        return Missing();
    }
    return result;
}

CalcResult CalculatePace(const CalcInput &input, double distanceFactor, double paceFactor) {
    const double distance = ReadField(input.Distance);
    const RunTime time = ReadRunTime(input);
    if (distance == 0 || time.Sum == 0 || !Usable(distance) || !Usable(time.Seconds)) {
        return Missing();
    }
    const double perDistanceUnit = time.Seconds / distance;
    const double pace = perDistanceUnit * (distanceFactor / paceFactor);
    std::int32_t paceMinutes = 0;
    if (!WholeCount(pace / SecondsPerMinute, paceMinutes)) {
        return Missing();
    }
    CalcResult result;
    result.PaceMinutes = paceMinutes == 0 ? std::string() : CountText(paceMinutes);
    result.PaceSeconds = FormatHundredths(pace - paceMinutes * SecondsPerMinute);
    // The speed comes from the pace per distance unit, so it takes the distance unit's factor.
    if (result.PaceSeconds.empty() || !TakeSpeed(result, perDistanceUnit, distanceFactor)) {
        return Missing();
    }
    return result;
}

} // namespace

double UnitsPerMile(DistanceUnit unit) {
    switch (unit) {
    case DistanceUnit::Miles:
        return MilesPerMile;
    case DistanceUnit::Kilometers:
        return KilometersPerMile;
    case DistanceUnit::Marathons:
        return MarathonsPerMile;
    }
    return MilesPerMile;
}

double UnitsPerMile(PaceUnit unit) {
    return unit == PaceUnit::PerKilometer ? KilometersPerMile : MilesPerMile;
}

std::string_view UnitLabel(DistanceUnit unit) {
    switch (unit) {
    case DistanceUnit::Miles:
        return "Mile(s)";
    case DistanceUnit::Kilometers:
        return "Kilometer(s)";
    case DistanceUnit::Marathons:
        return "Marathon(s)";
    }
    return {};
}

std::string_view UnitWord(DistanceUnit unit) {
    switch (unit) {
    case DistanceUnit::Miles:
        return "Miles";
    case DistanceUnit::Kilometers:
        return "Kilometers";
    case DistanceUnit::Marathons:
        return "Marathons";
    }
    return {};
}

std::string_view PaceUnitLabel(PaceUnit unit) {
    return unit == PaceUnit::PerKilometer ? "per Kilometer" : "per Mile";
}

std::string_view CalcModeLabel(CalcMode mode) {
    switch (mode) {
    case CalcMode::Distance:
        return "Distance";
    case CalcMode::Time:
        return "Time";
    case CalcMode::Pace:
        return "Pace";
    }
    return {};
}

bool RecognizeUnit(std::string_view text, DistanceUnit &unit) {
    if (text.find("Mile") != std::string_view::npos) {
        unit = DistanceUnit::Miles;
    } else if (text.find("Kilo") != std::string_view::npos) {
        unit = DistanceUnit::Kilometers;
    } else if (text.find("Mara") != std::string_view::npos) {
        unit = DistanceUnit::Marathons;
    } else {
        return false;
    }
    return true;
}

double ParseNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t mantissaStart = pos;
    bool seenPoint = false;
    bool seenDigit = false;
    for (; pos < text.size(); ++pos) {
        if (IsDigit(text[pos])) {
            seenDigit = true;
        } else if (text[pos] == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit) {
        return 0;
    }
    const std::string_view mantissa = text.substr(mantissaStart, pos - mantissaStart);
    // The exponent counts only when digits follow the letter and its optional sign.
    std::size_t end = pos;
    long long exponent = 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t digits = pos + 1;
        bool negativeExponent = false;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) {
            negativeExponent = text[digits] == '-';
            ++digits;
        }
        if (digits < text.size() && IsDigit(text[digits])) {
            constexpr long long ExponentCap = 1'000'000'000;
            for (end = digits; end < text.size() && IsDigit(text[end]); ++end) {
                exponent = std::min(exponent * 10 + (text[end] - '0'), ExponentCap);
            }
            exponent = negativeExponent ? -exponent : exponent;
        }
    }
    // from_chars is locale-independent; it takes no '+', so the sign is applied here.
    const std::string_view number = text.substr(mantissaStart, end - mantissaStart);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        return OutOfRangeValue(mantissa, exponent, negative);
    }
    if (ec != std::errc() || ptr != number.data() + number.size()) {
        return 0;
    }
    return negative ? -value : value;
}

std::string FormatHundredths(double value) {
    if (!std::isfinite(value)) {
        return {};
    }
    const double magnitude = std::fabs(value);
    if (magnitude / HundredthsPerUnit > Int32Limit + 1) {
        return {};
    }
    // Exact halves-to-even decision on the value itself: magnitude × 100 is exactly product + error, so a product
    // that lands on .5 only because of its own rounding is not taken for a half.
    const double product = magnitude * HundredthsPerUnit;
    const double error = std::fma(magnitude, HundredthsPerUnit, -product);
    double rounded = std::floor(product);
    const double fraction = product - rounded;
    const bool up = fraction > 0.5 || (fraction == 0.5 && (error > 0 || (error == 0 && std::fmod(rounded, 2.0) != 0)));
    if (up) {
        rounded += 1;
    }
    const auto hundredths = static_cast<std::int64_t>(rounded);
    const std::int64_t whole = hundredths / HundredthsPerWhole;
    const std::int64_t part = hundredths % HundredthsPerWhole;
    if (whole > std::numeric_limits<std::int32_t>::max()) {
        return {};
    }
    std::string text;
    // A value that rounds to zero is shown as 0.00, without a sign.
    if (value < 0 && hundredths != 0) {
        text += '-';
    }
    text += std::to_string(whole);
    text += part < TwoDigitLimit ? ".0" : ".";
    text += std::to_string(part);
    return text;
}

SpeedTexts ComputeSpeed(double paceSeconds, double unitsPerMile) {
    SpeedTexts speed;
    if (!Usable(paceSeconds) || !Usable(unitsPerMile)) {
        speed.Ok = false;
        return speed;
    }
    speed.Mph = FormatHundredths(SecondsPerHour / paceSeconds / unitsPerMile);
    speed.Kph = FormatHundredths((SecondsPerHour / paceSeconds) * (KilometersPerMile / unitsPerMile));
    speed.Ok = !speed.Mph.empty() && !speed.Kph.empty();
    if (!speed.Ok) {
        speed.Mph.clear();
        speed.Kph.clear();
    }
    return speed;
}

CalcResult Calculate(const CalcInput &input) {
    const double distanceFactor = UnitsPerMile(input.Unit);
    const double paceFactor = UnitsPerMile(input.Pace);
    switch (input.Mode) {
    case CalcMode::Distance:
        return CalculateDistance(input, distanceFactor, paceFactor);
    case CalcMode::Time:
        return CalculateTime(input, distanceFactor, paceFactor);
    case CalcMode::Pace:
        return CalculatePace(input, distanceFactor, paceFactor);
    }
    return Missing();
}

std::string_view MissingInputMessage(CalcMode mode) {
    switch (mode) {
    case CalcMode::Distance:
        return "You must supply a TIME and a PACE in order to calculate a DISTANCE.";
    case CalcMode::Time:
        return "You must supply a DISTANCE and a PACE in order to calculate a TIME.";
    case CalcMode::Pace:
        return "You must supply a DISTANCE and a TIME in order to calculate a PACE.";
    }
    return {};
}

std::string_view MissingInputCaption(CalcMode mode) {
    switch (mode) {
    case CalcMode::Distance:
        return "Distance Calculation Error";
    case CalcMode::Time:
        return "Time Calculation Error";
    case CalcMode::Pace:
        return "Pace Calculation Error";
    }
    return {};
}

} // namespace pq
