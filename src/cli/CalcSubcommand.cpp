#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/RunArithmetic.h"
#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/OutputBuffer.h"
#include "cli/Subcommands.h"
#include "cli/TextTable.h"
#include "insight/PaceBand.h"
#include "log/LogEntry.h"

namespace pq::cli {

namespace {

constexpr std::string_view CalcHelp =
    R"(Usage: pquil calc distance --time H:M:S --pace M:S [--unit U] [--pace-unit P] [--tsv]
       pquil calc time --distance D --pace M:S [--unit U] [--pace-unit P] [--tsv]
       pquil calc pace --distance D --time H:M:S [--unit U] [--pace-unit P] [--tsv]
       pquil calc splits --distance D --time H:M:S [--unit U] [--per mile|km]
                         [--negative P] [--hundredths] [--tsv]

The entry editor's calculator: from two of distance, time and pace it computes the
third, and the speed in miles and kilometers per hour.

A time is the editor's hours, minutes and seconds fields joined by ":", a pace its
minutes and seconds fields; a missing part is an empty field. So "1:30" is 1 hour
30 minutes, "45" is 45 hours, ":45" or "0:45" is 45 minutes, "::50" is 50 seconds;
a pace "8" is 8 minutes, "7:30" is 7 minutes 30 seconds. As in the editor, each
field is read as the number at its start.

Options:
  --distance D     the distance in the distance unit, e.g. 26.2
  --time H:M:S     the run time
  --pace M:S       the time per pace unit
  --unit U         the distance unit: miles (the default), kilometers or marathons,
                   any unambiguous beginning of one, or mi, km
  --pace-unit P    the pace unit: mile (the default) or kilometer, or mi, km
  --tsv            one machine-readable line, TAB-separated, an empty result empty:
                   distance: distance, MPH, KPH
                   time: hours, minutes, seconds, MPH, KPH
                   pace: pace minutes, pace seconds, MPH, KPH

Without the two inputs the mode needs, the editor's message goes to standard error
and the exit status is 1.

splits prints a race pace band: for a race of the distance run in the time, one
line per mile or kilometer with the split time and the elapsed time, the last
split shorter when the distance is not whole and labelled with the distance to a
thousandth (42.195). Times are whole seconds, M:SS below an hour and H:MM:SS from
an hour on: each elapsed time is the exact one rounded to the second and each
split the difference of two elapsed times, so the splits add up exactly to the
time (rounded to the second) and the last elapsed time is that time. A pace slower
than 20:00 per mile (12:26 per kilometer) gets a note on standard error saying how
the time was read, since "20:00" is 20 hours.
  --per mile|km    the length of a split: a mile (the default) or a kilometer
  --negative P     a negative split: each mile or kilometer of the second half
                   P percent faster than one of the first (0 to below 100), the
                   total unchanged
  --hundredths     times to the hundredth of a second, as H:MM:SS.ss
  --tsv            one line per split, TAB-separated: the split's end (1, 2, ...
                   and the whole distance for the last, e.g. 26.219), the split
                   time and the elapsed time
)";

constexpr char PartSeparator = ':';
constexpr std::size_t TimeParts = 3;
constexpr std::size_t PaceParts = 2;

constexpr std::array<std::string_view, 3> ModeNames = {"distance", "time", "pace"};
constexpr std::array<std::string_view, 3> UnitNames = {"miles", "kilometers", "marathons"};
constexpr std::array<std::string_view, 2> PaceUnitNames = {"mile", "kilometer"};
constexpr std::array<std::string_view, 2> PaceUnitPlurals = {"miles", "kilometers"};
constexpr std::string_view SplitsMode = "splits";
constexpr double SecondsPerMinute = 60;
constexpr double SecondsPerHour = 3600;
constexpr double HundredthsPerSecond = 100;
// Longer race times are refused before they are turned into whole hundredths.
constexpr double LongestRaceSeconds = 1e9;
// A race band slower than this pace per mile (12:26 per kilometer) most likely comes from a time meant in minutes.
constexpr double SlowestPaceSecondsPerMile = 20 * SecondsPerMinute;
constexpr std::size_t TimeFieldWidth = 2;
// Room for a number's shortest text ("%g").
constexpr std::size_t NumberTextSize = 32;

// The parts of H:M:S or M:S in order; parts not given stay empty.
std::vector<std::string> SplitParts(std::string_view text, std::size_t count, std::string_view option,
                                    std::string_view form) {
    std::vector<std::string> parts(count);
    std::size_t index = 0;
    for (char c : text) {
        if (c == PartSeparator) {
            if (++index == count) {
                throw CliError(ExitUsage, "calc: " + std::string(option) + " '" + std::string(text) +
                                              "': more parts than " + std::string(form));
            }
        } else {
            parts[index].push_back(c);
        }
    }
    return parts;
}

void PrintResult(const CalcInput &input, const CalcResult &result, bool tsv, OutputBuffer &out) {
    std::vector<std::pair<std::string, std::string>> fields;
    switch (input.Mode) {
    case CalcMode::Distance:
        fields = {{"Distance", result.Distance}};
        break;
    case CalcMode::Time:
        fields = {{"Hours", result.Hours}, {"Minutes", result.Minutes}, {"Seconds", result.Seconds}};
        break;
    case CalcMode::Pace: {
        const std::string per = " (" + std::string(PaceUnitLabel(input.Pace)) + ")";
        fields = {{"Pace minutes" + per, result.PaceMinutes}, {"Pace seconds" + per, result.PaceSeconds}};
        break;
    }
    }
    fields.emplace_back("MPH", result.Mph);
    fields.emplace_back("KPH", result.Kph);
    if (tsv) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                out.Append(FieldSeparator);
            }
            out.Append(fields[i].second);
        }
        out.EndLine();
        return;
    }
    TextTable table({{"", Align::Left}, {"", Align::Right}, {"", Align::Left}});
    for (const auto &[label, value] : fields) {
        const bool distance = input.Mode == CalcMode::Distance && label == "Distance";
        table.AddRow({label, value, distance ? std::string(UnitWord(input.Unit)) : std::string()});
    }
    table.PrintBody(out);
}

// A number written whole, as a split option's value must be; an empty text when allowed is zero.
double StrictNumber(std::string_view text, std::string_view option, std::string_view whole) {
    double value = 0;
    if (text.empty()) {
        return value;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0) {
        throw CliError(ExitUsage, "calc splits: " + std::string(option) + " '" + std::string(whole) +
                                      "': not a number of 0 or more");
    }
    return value;
}

// The race time in whole hundredths, from H:M:S read as the calculator reads its fields.
std::int64_t RaceTime(std::string_view text) {
    const std::vector<std::string> parts = SplitParts(text, TimeParts, "--time", "H:M:S");
    const double seconds = StrictNumber(parts[0], "--time", text) * SecondsPerHour +
                           StrictNumber(parts[1], "--time", text) * SecondsPerMinute +
                           StrictNumber(parts[2], "--time", text);
    if (!(seconds <= LongestRaceSeconds)) {
        throw CliError(ExitUsage, "calc splits: --time '" + std::string(text) + "': too long for a race");
    }
    return std::llround(seconds * HundredthsPerSecond);
}

// A number as typed in a time, for a message: 20, 1.5.
std::string CountText(double value) {
    std::array<char, NumberTextSize> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%g", value);
    return buffer.data();
}

// "20 hours", "6 minutes 30 seconds": the parts that are not zero, each with its word.
std::string PartsText(const std::vector<std::pair<double, std::string_view>> &parts) {
    std::string text;
    for (const auto &[value, word] : parts) {
        if (value == 0) {
            continue;
        }
        if (!text.empty()) {
            text += ' ';
        }
        text += CountText(value) + ' ' + std::string(word) + (value == 1 ? "" : "s");
    }
    return text;
}

// How a time with hours, of a band too slow to be meant, was read, and its minutes form: "20:00 was read as 20
// hours; for 20 minutes give 0:20:00". Nothing for a time without hours, which cannot have been misread so.
std::optional<std::string> SlowBandNote(std::string_view time) {
    const std::vector<std::string> parts = SplitParts(time, TimeParts, "--time", "H:M:S");
    std::vector<double> values;
    values.reserve(parts.size());
    for (const std::string &part : parts) {
        values.push_back(StrictNumber(part, "--time", time));
    }
    if (values[0] == 0) {
        return std::nullopt;
    }
    std::string minutesForm = "0";
    for (std::size_t i = 0; i + 1 < TimeParts; ++i) {
        minutesForm +=
            PartSeparator + std::string(TimeFieldWidth - std::min(TimeFieldWidth, parts[i].size()), '0') + parts[i];
    }
    return std::string(time) + " was read as " +
           PartsText({{values[0], "hour"}, {values[1], "minute"}, {values[2], "second"}}) + "; for " +
           PartsText({{values[0], "minute"}, {values[1], "second"}}) + " give " + minutesForm;
}

void RefuseBand(PaceBandError error, const ArgumentList &args) {
    switch (error) {
    case PaceBandError::None:
        return;
    case PaceBandError::Distance:
        throw CliError(ExitUsage, "calc splits: --distance '" + std::string(args.RequiredValue("--distance")) +
                                      "': a race needs a distance above 0");
    case PaceBandError::Time:
        throw CliError(ExitUsage, "calc splits: --time '" + std::string(args.RequiredValue("--time")) +
                                      "': a race needs a time above 0");
    case PaceBandError::Negative:
        throw CliError(ExitUsage, "calc splits: --negative '" + std::string(*args.Value("--negative")) +
                                      "': a percent from 0 to below 100");
    case PaceBandError::TooManySplits:
        throw CliError(ExitUsage, "calc splits: more than " + std::to_string(MostPaceSplits) + " splits");
    }
}

int RunSplits(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("calc splits", words,
                            {{"--tsv"},
                             {"--hundredths"},
                             {"--unit", true},
                             {"--per", true},
                             {"--distance", true},
                             {"--time", true},
                             {"--negative", true}});
    if (args.HelpRequested()) {
        out.Append(CalcHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({});
    const auto unit = static_cast<DistanceUnit>(
        ChooseName(args, "calc", "--unit", UnitNames, "miles, kilometers, marathons, mi, km", {}, ShortUnitNames));
    const auto per = static_cast<PaceUnit>(
        ChooseName(args, "calc", "--per", PaceUnitNames, "mile, kilometer, mi, km", PaceUnitPlurals, ShortUnitNames));
    const std::string_view distanceText = args.RequiredValue("--distance");
    const double distance = StrictNumber(distanceText, "--distance", distanceText);
    const std::int64_t time = RaceTime(args.RequiredValue("--time"));
    const std::string_view negative = args.Value("--negative").value_or("");
    const double percent = StrictNumber(negative, "--negative", negative);

    const bool hundredths = args.Has("--hundredths");
    const PaceBand band = ComputePaceBand(distance * UnitsPerMile(per) / UnitsPerMile(unit), time, percent,
                                          hundredths ? 1 : HundredthsPerSecond);
    RefuseBand(band.Error, args);
    const double raceSeconds = static_cast<double>(band.Splits.back().Elapsed) / HundredthsPerSecond;
    if (raceSeconds / (distance / UnitsPerMile(unit)) > SlowestPaceSecondsPerMile) {
        if (const std::optional<std::string> note = SlowBandNote(args.RequiredValue("--time"))) {
            err.Append("pquil: warning: " + *note);
            err.EndLine();
        }
    }
    const auto timeText = hundredths ? FormatSplitTime : FormatSplitSeconds;
    if (args.Has("--tsv")) {
        for (const PaceSplit &split : band.Splits) {
            out.Append(SplitEndText(split) + FieldSeparator + timeText(split.Split) + FieldSeparator +
                       timeText(split.Elapsed));
            out.EndLine();
        }
        return ExitSuccess;
    }
    TextTable table({{per == PaceUnit::PerMile ? "Mile" : "Kilometer", Align::Right},
                     {"Split", Align::Right},
                     {"Elapsed", Align::Right}});
    for (const PaceSplit &split : band.Splits) {
        table.AddRow({SplitEndText(split), timeText(split.Split), timeText(split.Elapsed)});
    }
    table.Print(out);
    return ExitSuccess;
}

} // namespace

int RunCalc(Words words, OutputBuffer &out, OutputBuffer &err) {
    if (words.empty()) {
        throw CliError(ExitUsage, "calc: missing distance, time, pace or splits (see 'pquil calc --help')");
    }
    if (words.front() == "--help") {
        out.Append(CalcHelp);
        return ExitSuccess;
    }
    if (words.front() == SplitsMode) {
        return RunSplits(words.subspan(1), out, err);
    }
    const auto mode = [&]() -> std::optional<CalcMode> {
        for (std::size_t i = 0; i < ModeNames.size(); ++i) {
            if (ModeNames[i] == words.front()) {
                return static_cast<CalcMode>(i);
            }
        }
        return std::nullopt;
    }();
    if (!mode) {
        throw CliError(ExitUsage, "calc: unknown quantity '" + std::string(words.front()) +
                                      "': distance, time, pace or splits (see 'pquil calc --help')");
    }
    const std::string name = "calc " + std::string(words.front());
    const OptionSpec common[] = {{"--tsv"}, {"--unit", true}, {"--pace-unit", true}};
    const Words rest = words.subspan(1);
    const ArgumentList args =
        *mode == CalcMode::Distance
            ? ArgumentList(name, rest, {common[0], common[1], common[2], {"--time", true}, {"--pace", true}})
        : *mode == CalcMode::Time
            ? ArgumentList(name, rest, {common[0], common[1], common[2], {"--distance", true}, {"--pace", true}})
            : ArgumentList(name, rest, {common[0], common[1], common[2], {"--distance", true}, {"--time", true}});
    if (args.HelpRequested()) {
        out.Append(CalcHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({});

    CalcInput input;
    input.Mode = *mode;
    input.Unit = static_cast<DistanceUnit>(
        ChooseName(args, "calc", "--unit", UnitNames, "miles, kilometers, marathons, mi, km", {}, ShortUnitNames));
    input.Pace = static_cast<PaceUnit>(ChooseName(args, "calc", "--pace-unit", PaceUnitNames, "mile, kilometer, mi, km",
                                                  PaceUnitPlurals, ShortUnitNames));
    if (const auto distance = args.Value("--distance")) {
        input.Distance = *distance;
    }
    if (const auto time = args.Value("--time")) {
        const std::vector<std::string> parts = SplitParts(*time, TimeParts, "--time", "H:M:S");
        input.Hours = parts[0];
        input.Minutes = parts[1];
        input.Seconds = parts[2];
    }
    if (const auto pace = args.Value("--pace")) {
        const std::vector<std::string> parts = SplitParts(*pace, PaceParts, "--pace", "M:S");
        input.PaceMinutes = parts[0];
        input.PaceSeconds = parts[1];
    }

    const CalcResult result = Calculate(input);
    if (result.MissingInput) {
        err.Append("pquil: ");
        err.Append(MissingInputCaption(*mode));
        err.Append(": ");
        err.Append(MissingInputMessage(*mode));
        err.EndLine();
        return ExitFailure;
    }
    PrintResult(input, result, args.Has("--tsv"), out);
    return ExitSuccess;
}

} // namespace pq::cli
