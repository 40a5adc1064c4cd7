#include <optional>
#include <string>
#include <vector>

#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/DateOptions.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/ReadInParts.h"
#include "cli/Subcommands.h"
#include "cli/TagOption.h"
#include "cli/TextTable.h"
#include "insight/LoadCounter.h"
#include "insight/ReportFormats.h"
#include "insight/TrainingLoad.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq::cli {

namespace {

constexpr std::string_view LoadHelp =
    R"(Usage: pquil load LOG [--from DATE] [--thru DATE] [--today DATE] [--tag T] [--tsv]

Training load day by day. A run's load is its minutes times how hard it felt: the
number of an "rpe:N" marker in its notes, 1 (very easy) to 10 (all-out), or 5
without one. Fitness and fatigue follow the daily loads over about 42 and 7 days;
form is fitness less fatigue going into the day. The acute:chronic ratio (ACWR)
sets the average day of the last 7 against that of the last 28, from the 28th day
of the runs on: below 0.8 low, up to 1.3 steady, up to 1.5 caution, above that
high. The figures are a guide for planning, not a medical judgement.

Options:
  --from DATE    first day shown (default: 41 days before --thru)
  --thru DATE    last day shown (default: today)
  --today DATE   the day taken as today
  --tag T        only the runs whose notes carry the tag "#T"
  --tsv          TAB-separated lines: date, load, fitness, fatigue, form, ACWR
                 and zone (both empty while the ratio is not defined)

A row counts when its Date is a real date yyyy/mm/dd and its Time, read as
hours:minutes:seconds, is above zero; its distance does not matter. Days before
the first run are not shown.
)";

// Without --from, the days shown are the six weeks through --thru.
constexpr int DefaultShownDays = 42;

// The daily loads of the log, of the --tag option's tag when one is given; without one, counted straight from the
// file's blocks, a part of a big file on each core.
DailyLoads ReadLoads(const ArgumentList &args, OutputBuffer &err) {
    const std::optional<std::string> tag = TagName(args, "load");
    const std::string path(args.Operand(0));
    if (!tag) {
        return ReadInParts<LoadCounter>(path, err).Finish();
    }
    const LogList list = ReadLogFile(path, err);
    LoadCounter counter;
    counter.AddRows(list, TagFilter(list, tag));
    return counter.Finish();
}

int DayOf(const CalendarDate &date) {
    return DayNumber(date.Year, date.Month, date.Day);
}

std::vector<std::string> DayFields(const LoadDay &day) {
    return {DayText(day.DayNumber),
            LoadText(day.Load),
            LoadText(day.Fitness),
            LoadText(day.Fatigue),
            LoadText(day.Form),
            RatioText(day.Ratio),
            day.Ratio ? std::string(ZoneName(ZoneOf(*day.Ratio))) : std::string()};
}

} // namespace

int RunLoad(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("load", words,
                            {{"--tsv"}, {"--from", true}, {"--thru", true}, {"--today", true}, TagOptionSpec});
    if (args.HelpRequested()) {
        out.Append(LoadHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"LOG"});
    const std::optional<CalendarDate> thruDate = DateOption(args, "--thru", "load");
    const int thru = thruDate ? DayOf(*thruDate) : TodayOption(args, "load");
    const std::optional<CalendarDate> fromDate = DateOption(args, "--from", "load");
    const int from = fromDate ? DayOf(*fromDate) : thru - (DefaultShownDays - 1);
    const std::vector<LoadDay> series = TrainingLoadSeries(ReadLoads(args, err), thru);
    std::vector<std::vector<std::string>> lines;
    for (const LoadDay &day : series) {
        if (day.DayNumber >= from) {
            lines.push_back(DayFields(day));
        }
    }
    if (lines.empty()) {
        return ExitSuccess;
    }
    if (args.Has("--tsv")) {
        for (const std::vector<std::string> &fields : lines) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (i > 0) {
                    out.Append(FieldSeparator);
                }
                out.Append(fields[i]);
            }
            out.EndLine();
        }
        return ExitSuccess;
    }
    TextTable table({{"Date", Align::Left},
                     {"Load", Align::Right},
                     {"Fitness", Align::Right},
                     {"Fatigue", Align::Right},
                     {"Form", Align::Right},
                     {"ACWR", Align::Right},
                     {"Zone", Align::Left}});
    for (std::vector<std::string> &fields : lines) {
        table.AddRow(std::move(fields));
    }
    table.Print(out);
    out.Append(LoadSummaryText(series.back()));
    out.EndLine();
    return ExitSuccess;
}

} // namespace pq::cli
