#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "calc/RunArithmetic.h"
#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/Subcommands.h"
#include "cli/TextTable.h"
#include "insight/MarkTotals.h"
#include "insight/ShoeRegistry.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"

namespace pq::cli {

namespace {

constexpr std::string_view TagsHelp = R"(Usage: pquil tags LOG [--unit mi|km] [--tsv]

Lists the tags written in the notes ("#tempo", "#race"), in name order ignoring
case, with the runs that carry each and their miles or kilometers. A tag is "#" followed by
letters, digits, "-" or "_", at the start of the notes or after any other
character, so "C#" is no tag; "#Tempo" and "#tempo" are one tag, shown as first
written. A run counts when its date is a real date and its distance has a number
and a known unit (Miles, Kilometers, Marathons); a tag seen only on other rows is
listed with no runs.

Options:
  --unit U   the distance shown: miles (mi, the default) or kilometers (km)
  --tsv      machine-readable lines, TAB-separated, no header: tag, runs,
             distance
)";

constexpr std::string_view ShoesHelp = R"(Usage: pquil shoes LOG [--limit N] [--unit mi|km] [--tsv]

Lists the shoes written in the notes ("@pegasus"), in name order ignoring case,
with their runs, distance and the dates of the first and the last run, then their
limit, what is left of it (below 0 when over) and their status. Shoes are written
and counted as tags are (see 'pquil tags --help'); a run with several shoes counts
for each.

The log's profile (the file LOG.profile beside it) may set each shoe's own limit,
a distance it had before its first run in the log, and the date it was retired:
  shoe @NAME [limit N UNIT] [start N UNIT] [retired YYYY/MM/DD] [default]
(UNIT: mi, km, miles or kilometers). A shoe's distance is its start plus all its
runs; a shoe of the profile without runs is listed with its start. Its status is
"retired" when it has a retired date, else "over" when its distance passes its
limit (its own, else --limit), else "active". Retired shoes are listed last. A
profile line that cannot be read is reported on standard error with its number
and the reason and left out.

Options:
  --unit U   the distance shown: miles (mi, the default) or kilometers (km)
  --limit N  the limit of a shoe that has none of its own, in that unit; 500
             miles (804.67 kilometers) by default
  --tsv      machine-readable lines, TAB-separated, no header: shoe, runs, miles,
             kilometers, first date, last date, "over" or empty, limit, left,
             status
)";

constexpr std::array<std::string_view, 2> UnitNames = {"miles", "kilometers"};

std::string Utf8Name(char sign, std::string_view name) {
    std::string text(1, sign);
    text += Decode1252ToUtf8(name);
    return text;
}

double ShoeLimit(const ArgumentList &args, DistanceUnit unit) {
    const std::optional<std::string_view> text = args.Value("--limit");
    if (!text) {
        return DefaultShoeLimitMiles * UnitsPerMile(unit);
    }
    double limit = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), limit);
    if (error != std::errc() || end != text->data() + text->size() || !std::isfinite(limit) || limit < 0) {
        throw CliError(ExitUsage, "shoes: --limit '" + std::string(*text) + "': not a distance of 0 or more");
    }
    return limit;
}

DistanceUnit UnitOption(const ArgumentList &args, std::string_view command) {
    return static_cast<DistanceUnit>(
        ChooseName(args, command, "--unit", UnitNames, "miles, kilometers", {}, ShortUnitNames));
}

double DistanceIn(const MarkTotal &total, DistanceUnit unit) {
    return unit == DistanceUnit::Kilometers ? total.Kilometers : total.Miles;
}

std::string UnitHeader(DistanceUnit unit) {
    return unit == DistanceUnit::Kilometers ? "Kilometers" : "Miles";
}

// The log and the totals of one kind of mark, after the options are read.
std::vector<MarkTotal> ReadTotals(const ArgumentList &args, char sign, OutputBuffer &err) {
    args.ExpectOperands({"LOG"});
    const LogList list = ReadLogFile(std::string(args.Operand(0)), err);
    return CollectMarkTotals(list, sign);
}

} // namespace

int RunTags(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("tags", words, {{"--tsv"}, {"--unit", true}});
    if (args.HelpRequested()) {
        out.Append(TagsHelp);
        return ExitSuccess;
    }
    const DistanceUnit unit = UnitOption(args, "tags");
    const std::vector<MarkTotal> totals = ReadTotals(args, TagSign, err);
    if (args.Has("--tsv")) {
        for (const MarkTotal &tag : totals) {
            out.AppendDecoded(tag.Name, TextStyle::Tsv);
            out.Append(FieldSeparator + std::to_string(tag.Runs) + FieldSeparator +
                       FormatHundredths(DistanceIn(tag, unit)));
            out.EndLine();
        }
        return ExitSuccess;
    }
    TextTable table({{"Tag", Align::Left}, {"Runs", Align::Right}, {UnitHeader(unit), Align::Right}});
    for (const MarkTotal &tag : totals) {
        table.AddRow({Utf8Name(TagSign, tag.Name), std::to_string(tag.Runs), FormatHundredths(DistanceIn(tag, unit))});
    }
    table.Print(out);
    return ExitSuccess;
}

int RunShoes(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("shoes", words, {{"--tsv"}, {"--unit", true}, {"--limit", true}});
    if (args.HelpRequested()) {
        out.Append(ShoesHelp);
        return ExitSuccess;
    }
    const DistanceUnit unit = UnitOption(args, "shoes");
    const ProfileDistance limit{ShoeLimit(args, unit), unit};
    args.ExpectOperands({"LOG"});
    const std::string path(args.Operand(0));
    const LogList list = ReadLogFile(path, err);
    const LogProfile profile = ReadProfileOf(path, err);
    if (!profile.Error.empty()) {
        throw CliError(ExitFailure, profile.Error);
    }
    const std::vector<ShoeRow> shoes = CollectShoes(list, profile, limit);
    const auto status = [](const ShoeRow &shoe) { return std::string(ShoeStatusText(shoe.Status)); };
    if (args.Has("--tsv")) {
        for (const ShoeRow &shoe : shoes) {
            out.AppendDecoded(shoe.Name, TextStyle::Tsv);
            const std::string over = shoe.Status == ShoeStatus::Over ? status(shoe) : std::string();
            for (const std::string &field :
                 {std::to_string(shoe.Runs), FormatHundredths(shoe.Miles), FormatHundredths(shoe.Kilometers),
                  shoe.FirstDate, shoe.LastDate, over, FormatHundredths(LimitIn(shoe, unit)),
                  FormatHundredths(LeftIn(shoe, unit)), status(shoe)}) {
                out.Append(FieldSeparator);
                out.Append(field);
            }
            out.EndLine();
        }
        return ExitSuccess;
    }
    TextTable table({{"Shoe", Align::Left},
                     {"Runs", Align::Right},
                     {UnitHeader(unit), Align::Right},
                     {"First", Align::Left},
                     {"Last", Align::Left},
                     {"Limit", Align::Right},
                     {"Left", Align::Right},
                     {"Status", Align::Left}});
    for (const ShoeRow &shoe : shoes) {
        table.AddRow({Utf8Name(ShoeSign, shoe.Name), std::to_string(shoe.Runs),
                      FormatHundredths(DistanceIn(shoe, unit)), shoe.FirstDate, shoe.LastDate,
                      FormatHundredths(LimitIn(shoe, unit)), FormatHundredths(LeftIn(shoe, unit)), status(shoe)});
    }
    table.Print(out);
    return ExitSuccess;
}

} // namespace pq::cli
