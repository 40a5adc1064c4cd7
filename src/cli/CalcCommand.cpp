#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/RunArithmetic.h"
#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/OutputBuffer.h"
#include "cli/TextTable.h"
#include "log/LogEntry.h"

namespace pq::cli {

namespace {

constexpr std::string_view CalcHelp =
    R"(Usage: pquil calc distance --time H:M:S --pace M:S [--unit U] [--pace-unit P] [--tsv]
       pquil calc time --distance D --pace M:S [--unit U] [--pace-unit P] [--tsv]
       pquil calc pace --distance D --time H:M:S [--unit U] [--pace-unit P] [--tsv]

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
  --unit U         the distance unit: miles (the default), kilometers or marathons
  --pace-unit P    the pace unit: mile (the default) or kilometer
  --tsv            one machine-readable line, TAB-separated, an empty result empty:
                   distance: distance, MPH, KPH
                   time: hours, minutes, seconds, MPH, KPH
                   pace: pace minutes, pace seconds, MPH, KPH

Without the two inputs the mode needs, the editor's message goes to standard error
and the exit status is 1.
)";

constexpr char PartSeparator = ':';
constexpr std::size_t TimeParts = 3;
constexpr std::size_t PaceParts = 2;

constexpr std::array<std::string_view, 3> ModeNames = {"distance", "time", "pace"};
constexpr std::array<std::string_view, 3> UnitNames = {"miles", "kilometers", "marathons"};
constexpr std::array<std::string_view, 2> PaceUnitNames = {"mile", "kilometer"};
constexpr std::array<std::string_view, 2> PaceUnitPlurals = {"miles", "kilometers"};

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

// The index of the name the option's value begins; plurals, when given, are accepted as the same names.
std::size_t Choose(const ArgumentList &args, std::string_view option, std::span<const std::string_view> names,
                   std::string_view choices, std::span<const std::string_view> plurals = {}) {
    const std::optional<std::string_view> value = args.Value(option);
    if (!value) {
        return 0;
    }
    std::optional<std::size_t> index = MatchPrefix(*value, names);
    if (!index && !plurals.empty()) {
        index = MatchPrefix(*value, plurals);
    }
    if (!index) {
        throw CliError(ExitUsage, "calc: " + std::string(option) + " '" + std::string(*value) + "': not one of " +
                                      std::string(choices));
    }
    return *index;
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

} // namespace

int RunCalc(Words words, OutputBuffer &out, OutputBuffer &err) {
    if (words.empty()) {
        throw CliError(ExitUsage, "calc: missing distance, time or pace (see 'pquil calc --help')");
    }
    if (words.front() == "--help") {
        out.Append(CalcHelp);
        return ExitSuccess;
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
                                      "': distance, time or pace (see 'pquil calc --help')");
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
    input.Unit = static_cast<DistanceUnit>(Choose(args, "--unit", UnitNames, "miles, kilometers, marathons"));
    input.Pace = static_cast<PaceUnit>(Choose(args, "--pace-unit", PaceUnitNames, "mile, kilometer", PaceUnitPlurals));
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
