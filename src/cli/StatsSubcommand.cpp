#include <array>
#include <string>
#include <vector>

#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/DateOptions.h"
#include "cli/DateRangeOption.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/ReadInParts.h"
#include "cli/Subcommands.h"
#include "cli/TagOption.h"
#include "cli/TextTable.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "stats/CompactSnapshot.h"
#include "stats/PeriodTotals.h"

namespace pq::cli {

namespace {

constexpr std::string_view StatsHelp = R"(Usage: pquil stats weekly LOG [--week-start DAY] [--tag T] [--tsv]
       pquil stats monthly LOG [--tag T] [--tsv]
       pquil stats yearly LOG [--tag T] [--tsv]
       pquil stats range LOG --from YYYY/MM/DD --thru YYYY/MM/DD [--tag T] [--tsv]

Adds up the distance of the dated rows, in miles, kilometers and marathons, as the
statistics dialog does. Periods are listed oldest first; periods without running
are left out. Rows without a date are not counted.

With --from after --thru nothing is counted (0.00), and a warning on standard error
says so.

A row whose distance has no known unit (Miles, Kilometers, Marathons) is reported
on standard error as "Running totals error" with its date and distance, and the
totals go on without it.

Options:
  --week-start DAY   first day of a week: monday (the default) to sunday; any
                     unambiguous beginning of the name, in any case (mo, Th, sa)
  --from DATE        first day counted by range (included), a real date
  --thru DATE        last day counted by range (included), a real date
  --tag T            only the rows whose notes carry the tag "#T"
  --tsv              machine-readable lines, TAB-separated, no header:
                     weekly, monthly, yearly: label, miles, kilometers, marathons
                     range: miles, kilometers, marathons
)";

enum class Period { Weekly, Monthly, Yearly, Range };

struct PeriodCommand {
    std::string_view Name;
    Period Kind;
    std::string_view LabelHeader;
};

constexpr std::array PeriodCommands = {
    PeriodCommand{"weekly", Period::Weekly, "Week of"},
    PeriodCommand{"monthly", Period::Monthly, "Month"},
    PeriodCommand{"yearly", Period::Yearly, "Year"},
    PeriodCommand{"range", Period::Range, ""},
};

UnitReporter ReportTo(OutputBuffer &err) {
    return [&err](const UnrecognizedUnit &row) {
        err.Append("pquil: ");
        err.Append(RunningTotalsErrorMessage);
        err.Append(": ");
        err.AppendDecoded(row.Date, TextStyle::Display);
        err.Append(", ");
        err.AppendDecoded(row.Distance, TextStyle::Display);
        err.EndLine();
    };
}

void PrintPeriods(const std::vector<PeriodRow> &rows, std::string_view labelHeader, bool tsv, OutputBuffer &out) {
    if (tsv) {
        for (const PeriodRow &row : rows) {
            out.Append(row.Label);
            for (const std::string *total : {&row.Miles, &row.Kilometers, &row.Marathons}) {
                out.Append(FieldSeparator);
                out.Append(*total);
            }
            out.EndLine();
        }
        return;
    }
    TextTable table({{std::string(labelHeader), Align::Left},
                     {"Miles", Align::Right},
                     {"Kilometers", Align::Right},
                     {"Marathons", Align::Right}});
    for (const PeriodRow &row : rows) {
        table.AddRow({row.Label, row.Miles, row.Kilometers, row.Marathons});
    }
    table.Print(out);
}

void PrintRange(const RangeResult &totals, std::string_view from, std::string_view thru, bool tsv, OutputBuffer &out) {
    if (tsv) {
        out.Append(totals.Miles + FieldSeparator + totals.Kilometers + FieldSeparator + totals.Marathons);
        out.EndLine();
        return;
    }
    out.Append("From " + std::string(from) + " thru " + std::string(thru));
    out.EndLine();
    TextTable table({{"", Align::Left}, {"", Align::Right}});
    table.AddRow({"Miles", totals.Miles});
    table.AddRow({"Kilometers", totals.Kilometers});
    table.AddRow({"Marathons", totals.Marathons});
    table.PrintBody(out);
}

// The totals need only each dated row's Date and Distance: without a tag they are read straight from the file's
// blocks, a part of a big file on each core, without keeping the rows.
CompactSnapshot ReadSnapshot(const std::string &path, const std::optional<std::string> &tag, OutputBuffer &err) {
    if (tag) {
        // A tag is found in the notes: the rows are read whole and those with the tag taken.
        const LogList list = RowsWithTag(ReadLogFile(path, err), tag);
        CompactSnapshot snapshot;
        for (int row = 0; row < list.RowCount(); ++row) {
            snapshot.AddRow(list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn));
        }
        snapshot.Finish();
        return snapshot;
    }
    CompactSnapshot snapshot = ReadInParts<CompactSnapshot>(path, err);
    snapshot.Finish();
    return snapshot;
}

} // namespace

int RunStats(Words words, OutputBuffer &out, OutputBuffer &err) {
    if (words.empty()) {
        throw CliError(ExitUsage, "stats: missing weekly, monthly, yearly or range (see 'pquil stats --help')");
    }
    if (words.front() == "--help") {
        out.Append(StatsHelp);
        return ExitSuccess;
    }
    const PeriodCommand *command = nullptr;
    for (const PeriodCommand &candidate : PeriodCommands) {
        if (candidate.Name == words.front()) {
            command = &candidate;
        }
    }
    if (command == nullptr) {
        throw CliError(ExitUsage, "stats: unknown period '" + std::string(words.front()) +
                                      "': weekly, monthly, yearly or range (see 'pquil stats --help')");
    }
    const std::string name = "stats " + std::string(command->Name);
    const Words rest = words.subspan(1);
    const ArgumentList args = command->Kind == Period::Weekly
                                  ? ArgumentList(name, rest, {{"--tsv"}, TagOptionSpec, {"--week-start", true}})
                              : command->Kind == Period::Range
                                  ? ArgumentList(name, rest, {{"--tsv"}, TagOptionSpec, FromOptionSpec, ThruOptionSpec})
                                  : ArgumentList(name, rest, {{"--tsv"}, TagOptionSpec});
    if (args.HelpRequested()) {
        out.Append(StatsHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"LOG"});
    const bool tsv = args.Has("--tsv");
    const int weekStart = command->Kind == Period::Weekly ? WeekStartOption(args, name) : 0;
    DateRange range;
    if (command->Kind == Period::Range) {
        range = ReadDateRange(args, name, true);
    }

    const std::optional<std::string> tag = TagName(args, name);
    const CompactSnapshot snapshot = ReadSnapshot(std::string(args.Operand(0)), tag, err);
    const UnitReporter report = ReportTo(err);
    switch (command->Kind) {
    case Period::Weekly:
        PrintPeriods(WeeklyTotals(snapshot, weekStart, report), command->LabelHeader, tsv, out);
        break;
    case Period::Monthly:
        PrintPeriods(MonthlyTotals(snapshot, report), command->LabelHeader, tsv, out);
        break;
    case Period::Yearly:
        PrintPeriods(YearlyTotals(snapshot, report), command->LabelHeader, tsv, out);
        break;
    case Period::Range:
        WarnIfReversed(range, name, err);
        PrintRange(RangeTotals(snapshot, range.From, range.Thru, report), range.FromText, range.ThruText, tsv, out);
        break;
    }
    return ExitSuccess;
}

} // namespace pq::cli
