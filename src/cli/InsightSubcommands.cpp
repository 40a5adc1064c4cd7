#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "calc/DateRules.h"
#include "calc/RunArithmetic.h"
#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/DateOptions.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/ReadInParts.h"
#include "cli/RecordRows.h"
#include "cli/Subcommands.h"
#include "cli/TagOption.h"
#include "cli/TextTable.h"
#include "insight/ChartSeries.h"
#include "insight/CountedRuns.h"
#include "insight/MarkTotals.h"
#include "insight/PersonalRecords.h"
#include "insight/ReportFormats.h"
#include "insight/Streaks.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"
#include "stats/StatsCalendar.h"

namespace pq::cli {

namespace {

constexpr std::string_view CountingRules =
    R"(A row counts when its Date is a real date yyyy/mm/dd (rows without a date are left
out) and its Distance has a number and a unit word the statistics know (Miles,
Kilometers, Marathons); its time is the Time text read as hours:minutes:seconds.
)";

constexpr std::string_view RecordsHelp =
    R"(Usage: pquil records LOG [--today DATE] [--unit mi|km] [--week-start DAY] [--tag T]
                    [--tsv]

The best times at 1 Mile, 5K, 10K, Half Marathon (21.0975 km) and Marathon
(42.195 km), the longest run, and the biggest week, month and year. A run is a
candidate for a distance when it is from 0.5% under to 3% over it (a run logged
as "3.1 Miles" counts for the 5K; a shorter run never counts); the record is the
smallest time above zero, on equal times the earlier date, then the earlier row.
A distance without a candidate is left out. The biggest periods go by distance,
the earlier one on equal distances.

Then the times Riegel's formula predicts. The bases are, for each distance, its
best candidate of the 365 days through today, or of its runs tagged "#race" when
any of them is; a base counts at its standard distance. Each distance is predicted
from the base nearest to it (on a tie the longer one); a distance that has a base
is given that run's own time.

Options:
  --today DATE       the day the 365 days end on (default: today)
  --unit U           the biggest periods' distances: mi (the default) or km
  --week-start DAY   first day of a week: monday (the default) to sunday
  --tag T            only the runs whose notes carry the tag "#T"
  --tsv              machine-readable lines, TAB-separated, no header:
                     records: label, date, distance, time, pace per mile, pace
                       per kilometer
                     "Biggest Week", "Biggest Month", "Biggest Year": label,
                       first day, last day, distance, runs, time
                     predictions: "Predicted", distance, time, pace per mile,
                       pace per kilometer, base, base date
)";

constexpr std::string_view SummaryHelp =
    R"(Usage: pquil summary LOG [--from DATE] [--thru DATE] [--unit mi|km] [--tag T] [--tsv]

The runs counted, their miles and kilometers (two decimals, as the statistics give
them), their total time (H:MM:SS) and the average pace per mile or kilometer
(M:SS, over the runs with a distance and a time above zero; empty when there are
none).

Options:
  --from DATE   first day counted (included; default: the first day of 1980)
  --thru DATE   last day counted (included; default: the last day of 2079)
  --unit U      the pace's unit: mi (the default) or km
  --tag T       only the runs whose notes carry the tag "#T"
  --tsv         one TAB-separated line: runs, miles, kilometers, time, pace
)";

constexpr std::string_view ChartHelp =
    R"(Usage: pquil chart weekly LOG [--weeks N|all] [--unit mi|km] [--week-start DAY]
                         [--today DATE] [--width N] [--tag T] [--tsv]

The distance of each of the last weeks through this week as a bar, with the
average of the four weeks before it. A bar more than 10% above that average is
marked "!" (a ramp warning), more than 30% above it "!!" (a strong one). A week is
judged only when the four weeks before it lie in its history: the history starts
with the week of the first run, and again with the first run after four or more
weeks without one, so the weeks back from a break are judged as a log's first.

Options:
  --weeks N      how many weeks: a number, or all (default: 12)
  --unit U       mi (the default) or km
  --week-start DAY   first day of a week: monday (the default) to sunday, or an
                 unambiguous beginning of the name
  --today DATE   the day whose week is the last one (default: today)
  --width N      characters per line (default: the terminal's width, else 80)
  --tag T        only the runs whose notes carry the tag "#T"
  --tsv          TAB-separated lines: first day of the week, distance, average
                 (empty for the first week), "!", "!!" or empty
)";

constexpr std::string_view StreaksHelp =
    R"(Usage: pquil streaks LOG [--week-start DAY] [--today DATE] [--tag T] [--tsv]

The current and the longest streaks of days with a run and of weeks with a run
(a counted row of more than zero distance). The current streak ends today, or
yesterday while today has no run yet; the current streak of weeks likewise.

Options:
  --week-start DAY   first day of a week: monday (the default) to sunday
  --today DATE       the day the current streaks end on (default: today)
  --tag T            only the runs whose notes carry the tag "#T"
  --tsv              TAB-separated lines: label, length, first day, last day
)";

constexpr int DefaultChartWeeks = 12;
// The summary's default range: every day a row's date may have.
constexpr CalendarDate FirstCountedDate = {FirstYear, 1, 1};
constexpr CalendarDate LastCountedDate = {LastYear, 12, 31};
constexpr std::size_t DefaultWidth = 80;
constexpr std::size_t NarrowestBar = 10;
constexpr int EighthsPerBlock = 8;
// Full block, then seven partial blocks from one eighth to seven eighths.
constexpr std::string_view FullBlock = "\u2588";
constexpr std::array<std::string_view, EighthsPerBlock> PartialBlocks = {"",       "\u258F", "\u258E", "\u258D",
                                                                         "\u258C", "\u258B", "\u258A", "\u2589"};
constexpr std::string_view RampMark = "!";
constexpr std::string_view StrongRampMark = "!!";
// The first field of a prediction's line in records --tsv.
constexpr std::string_view PredictedLabel = "Predicted";
constexpr std::array<std::string_view, 2> UnitNames = {"mi", "km"};
constexpr std::string_view AllWeeks = "all";

std::string Utf8Text(std::string_view bytes) {
    std::string text;
    for (const char byte : bytes) {
        text += Utf8Of1252(static_cast<unsigned char>(byte));
    }
    return text;
}

void AppendTsvLine(OutputBuffer &out, const std::vector<std::string> &fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out.Append(FieldSeparator);
        }
        out.Append(fields[i]);
    }
    out.EndLine();
}

// The counted runs of a log file and the texts of their rows.
struct LogRuns {
    RunCounter Rows;
    RunList Runs;
};

// The counted runs of the log, of the --tag option's tag when one is given. Without a tag they are counted
// straight from the file's blocks, a part of a big file on each core, without keeping the rows.
LogRuns ReadRuns(const ArgumentList &args, std::string_view command, OutputBuffer &err) {
    const std::optional<std::string> tag = TagName(args, command);
    const std::string path(args.Operand(0));
    LogRuns read;
    if (tag) {
        // A tag is found in the notes: the rows are read whole and those with the tag counted.
        const LogList list = ReadLogFile(path, err);
        read.Rows.AddRows(list, TagFilter(list, tag));
    } else {
        read.Rows = ReadInParts<RunCounter>(path, err);
    }
    read.Runs = read.Rows.Finish();
    return read;
}

struct PeriodLine {
    std::string_view Label;
    const std::optional<PeriodRecord> &Period;
};

void PrintRecordsTsv(const RunCounter &rows, const RunList &runs, const std::vector<RunRecord> &records,
                     const std::vector<PeriodLine> &periods, const std::vector<Prediction> &predictions,
                     DistanceUnit unit, OutputBuffer &out) {
    for (const RunRecord &record : records) {
        out.Append(record.Label);
        const RunTexts texts = rows.Texts(runs, record.Run.Row);
        for (const std::string_view text : {texts.Date, texts.Distance, texts.Time}) {
            out.Append(FieldSeparator);
            out.AppendDecoded(text, TextStyle::Tsv);
        }
        out.Append(FieldSeparator);
        out.Append(PaceText(record.Run.Seconds, record.Run.Miles));
        out.Append(FieldSeparator);
        out.Append(PaceText(record.Run.Seconds, record.Run.Kilometers));
        out.EndLine();
    }
    for (const PeriodLine &line : periods) {
        if (const std::optional<PeriodRecord> &period = line.Period) {
            AppendTsvLine(out, {std::string(line.Label), DayText(period->FirstDay), DayText(period->LastDay),
                                FormatHundredths(DistanceIn(period->Totals, unit)), std::to_string(period->Totals.Runs),
                                ClockText(period->Totals.Seconds)});
        }
    }
    for (const Prediction &prediction : predictions) {
        AppendTsvLine(out, {std::string(PredictedLabel), std::string(prediction.Label), ClockText(prediction.Seconds),
                            PaceText(prediction.Seconds, prediction.Kilometers / KilometersPerMile),
                            PaceText(prediction.Seconds, prediction.Kilometers), std::string(prediction.Base.Label),
                            DayText(prediction.Base.Run.DayNumber)});
    }
}

void PrintRecordsTable(const RunCounter &rows, const RunList &runs, const std::vector<RunRecord> &records,
                       const std::vector<PeriodLine> &periods, DistanceUnit unit, OutputBuffer &out) {
    TextTable table({{"Record", Align::Left},
                     {"Date", Align::Left},
                     {"Distance", Align::Left},
                     {"Time", Align::Left},
                     {"Pace/mi", Align::Right},
                     {"Pace/km", Align::Right}});
    for (const RunRecord &record : records) {
        const RunTexts texts = rows.Texts(runs, record.Run.Row);
        table.AddRow({std::string(record.Label), Utf8Text(texts.Date), Utf8Text(texts.Distance), Utf8Text(texts.Time),
                      PaceText(record.Run.Seconds, record.Run.Miles),
                      PaceText(record.Run.Seconds, record.Run.Kilometers)});
    }
    for (const PeriodLine &line : periods) {
        if (const std::optional<PeriodRecord> &period = line.Period) {
            const RunTotals &totals = period->Totals;
            table.AddRow({std::string(line.Label), DayText(period->FirstDay) + " to " + DayText(period->LastDay),
                          FormatHundredths(DistanceIn(totals, unit)) + " " + std::string(UnitWord(unit)) + " (" +
                              std::to_string(totals.Runs) + (totals.Runs == 1 ? " run)" : " runs)"),
                          ClockText(totals.Seconds), PaceText(totals.PacedSeconds, totals.PacedMiles),
                          PaceText(totals.PacedSeconds, totals.PacedKilometers)});
        }
    }
    table.Print(out);
}

void PrintPredictions(const std::vector<Prediction> &predictions, OutputBuffer &out) {
    out.EndLine();
    out.Append("Predicted by Riegel's formula:");
    out.EndLine();
    TextTable table({{"Distance", Align::Left},
                     {"Time", Align::Right},
                     {"Pace/mi", Align::Right},
                     {"Pace/km", Align::Right},
                     {"Base", Align::Left}});
    for (const Prediction &prediction : predictions) {
        table.AddRow({std::string(prediction.Label), ClockText(prediction.Seconds),
                      PaceText(prediction.Seconds, prediction.Kilometers / KilometersPerMile),
                      PaceText(prediction.Seconds, prediction.Kilometers), BaseText(prediction.Base)});
    }
    table.Print(out);
}

std::size_t TerminalWidth(const ArgumentList &args) {
    std::size_t width = 0;
    if (const std::optional<std::string_view> value = args.Value("--width")) {
        const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), width);
        if (error != std::errc() || end != value->data() + value->size() || width == 0) {
            throw CliError(ExitUsage, "chart weekly: --width '" + std::string(*value) + "': not a positive number");
        }
        return width;
    }
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    if (const char *columns = std::getenv("COLUMNS")) {
        const std::string_view text(columns);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), width);
        if (error == std::errc() && end == text.data() + text.size() && width > 0) {
            return width;
        }
    }
    return DefaultWidth;
}

// How many weeks to show; 0 for all.
std::size_t WeeksOption(const ArgumentList &args) {
    const std::optional<std::string_view> value = args.Value("--weeks");
    if (!value) {
        return DefaultChartWeeks;
    }
    if (*value == AllWeeks) {
        return 0;
    }
    std::size_t weeks = 0;
    const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), weeks);
    if (error != std::errc() || end != value->data() + value->size() || weeks == 0) {
        throw CliError(ExitUsage, "chart weekly: --weeks '" + std::string(*value) + "': a positive number or all");
    }
    return weeks;
}

DistanceUnit UnitOption(const ArgumentList &args, std::string_view command) {
    const std::optional<std::string_view> value = args.Value("--unit");
    if (!value) {
        return DistanceUnit::Miles;
    }
    const std::optional<std::size_t> unit = MatchPrefix(*value, UnitNames);
    if (!unit || value->size() != UnitNames[*unit].size()) {
        throw CliError(ExitUsage, std::string(command) + ": --unit '" + std::string(*value) + "': mi or km");
    }
    return *unit == 0 ? DistanceUnit::Miles : DistanceUnit::Kilometers;
}

// A bar of `eighths` eighths of a character.
std::string BarText(std::size_t eighths) {
    std::string bar;
    for (std::size_t i = 0; i < eighths / EighthsPerBlock; ++i) {
        bar += FullBlock;
    }
    bar += PartialBlocks[eighths % EighthsPerBlock];
    return bar;
}

std::string_view RampText(RampLevel level) {
    switch (level) {
    case RampLevel::None:
        break;
    case RampLevel::Warning:
        return RampMark;
    case RampLevel::Strong:
        return StrongRampMark;
    }
    return {};
}

double AverageIn(const WeekBar &bar, DistanceUnit unit) {
    return unit == DistanceUnit::Miles ? bar.AverageMiles : bar.AverageKilometers;
}

void AppendPadded(std::string &line, const std::string &text, std::size_t width, Align alignment) {
    const std::string padding(width - std::min(width, Utf8Length(text)), ' ');
    line += alignment == Align::Right ? padding + text : text + padding;
    line.append(ColumnGap, ' ');
}

// One line per week: its first day, distance, four-week average and ramp mark, then the bar in what is left of
// the line.
void PrintWeeklyChart(const std::vector<WeekBar> &bars, DistanceUnit unit, std::size_t width, OutputBuffer &out) {
    const std::string dateHeader = "Week of";
    const std::string distanceHeader(UnitWord(unit));
    const std::string averageHeader = "4-week avg";
    std::size_t dateWidth = dateHeader.size();
    std::size_t distanceWidth = distanceHeader.size();
    std::size_t averageWidth = averageHeader.size();
    double most = 0;
    for (const WeekBar &bar : bars) {
        dateWidth = std::max(dateWidth, DayText(bar.FirstDay).size());
        distanceWidth = std::max(distanceWidth, FormatHundredths(DistanceIn(bar.Totals, unit)).size());
        averageWidth = std::max(averageWidth, FormatHundredths(AverageIn(bar, unit)).size());
        most = std::max(most, DistanceIn(bar.Totals, unit));
    }
    const std::size_t textWidth = dateWidth + distanceWidth + averageWidth + StrongRampMark.size() + 4 * ColumnGap;
    const std::size_t barWidth = std::max(NarrowestBar, width > textWidth ? width - textWidth : 0);

    std::string line;
    AppendPadded(line, dateHeader, dateWidth, Align::Left);
    AppendPadded(line, distanceHeader, distanceWidth, Align::Right);
    line += averageHeader;
    out.Append(line);
    out.EndLine();
    for (const WeekBar &bar : bars) {
        const double distance = DistanceIn(bar.Totals, unit);
        line.clear();
        AppendPadded(line, DayText(bar.FirstDay), dateWidth, Align::Left);
        AppendPadded(line, FormatHundredths(distance), distanceWidth, Align::Right);
        AppendPadded(line, bar.AverageWeeks > 0 ? FormatHundredths(AverageIn(bar, unit)) : std::string(), averageWidth,
                     Align::Right);
        AppendPadded(line, std::string(RampText(bar.Ramp)), StrongRampMark.size(), Align::Left);
        const double share = most > 0 ? std::max(0.0, distance) / most : 0;
        line += BarText(static_cast<std::size_t>(std::lround(share * static_cast<double>(barWidth * EighthsPerBlock))));
        line.erase(line.find_last_not_of(' ') + 1);
        out.Append(line);
        out.EndLine();
    }
    out.Append(std::string(RampMark) + " more than " + std::to_string(RampPercent) + "%, " +
               std::string(StrongRampMark) + " more than " + std::to_string(StrongRampPercent) +
               "% above the average of the " + std::to_string(TrailingWeeks) + " weeks before");
    out.EndLine();
}

} // namespace

int RunRecords(Words words, OutputBuffer &out, OutputBuffer &err) {
    const std::string name = "records";
    const ArgumentList args(name, words,
                            {{"--tsv"}, {"--today", true}, {"--unit", true}, {"--week-start", true}, TagOptionSpec});
    if (args.HelpRequested()) {
        out.Append(RecordsHelp);
        out.Append(CountingRules);
        return ExitSuccess;
    }
    args.ExpectOperands({"LOG"});
    const int today = TodayOption(args, name);
    const DistanceUnit unit = UnitOption(args, name);
    const int weekStart = WeekStartOption(args, name);
    const std::optional<std::string> tag = TagName(args, name);
    RecordRows read;
    LogList list;
    RowFilter isRace;
    if (tag) {
        list = ReadLogFile(std::string(args.Operand(0)), err);
        read.Runs().AddRows(list, TagFilter(list, tag));
        isRace = MarkFilter(list, TagSign, std::string(RaceTag));
    } else {
        read = ReadInParts<RecordRows>(std::string(args.Operand(0)), err);
        isRace = read.RaceFilter();
    }
    const RunCounter &rows = read.Runs();
    const RunList runs = read.Runs().Finish();
    const PersonalRecords records = ComputeRecords(runs, today, weekStart, isRace);
    std::vector<RunRecord> lines = records.Best;
    if (records.Longest) {
        lines.push_back(*records.Longest);
    }
    const std::vector<PeriodLine> periods = {{BiggestWeekLabel, records.BiggestWeek},
                                             {BiggestMonthLabel, records.BiggestMonth},
                                             {BiggestYearLabel, records.BiggestYear}};
    if (args.Has("--tsv")) {
        PrintRecordsTsv(rows, runs, lines, periods, records.Predictions, unit, out);
        return ExitSuccess;
    }
    PrintRecordsTable(rows, runs, lines, periods, unit, out);
    if (!records.Predictions.empty()) {
        PrintPredictions(records.Predictions, out);
    }
    return ExitSuccess;
}

int RunSummary(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("summary", words,
                            {{"--tsv"}, {"--from", true}, {"--thru", true}, {"--unit", true}, TagOptionSpec});
    if (args.HelpRequested()) {
        out.Append(SummaryHelp);
        out.Append(CountingRules);
        return ExitSuccess;
    }
    args.ExpectOperands({"LOG"});
    const CalendarDate from = DateOption(args, "--from", "summary").value_or(FirstCountedDate);
    const CalendarDate thru = DateOption(args, "--thru", "summary").value_or(LastCountedDate);
    const DistanceUnit unit = UnitOption(args, "summary");
    const RunTotals totals =
        TotalsBetween(ReadRuns(args, "summary", err).Runs, DayNumber(from.Year, from.Month, from.Day),
                      DayNumber(thru.Year, thru.Month, thru.Day));
    const std::vector<std::string> fields = {
        std::to_string(totals.Runs), FormatHundredths(totals.Miles), FormatHundredths(totals.Kilometers),
        ClockText(totals.Seconds),
        PaceText(totals.PacedSeconds, unit == DistanceUnit::Miles ? totals.PacedMiles : totals.PacedKilometers)};
    if (args.Has("--tsv")) {
        AppendTsvLine(out, fields);
        return ExitSuccess;
    }
    TextTable table({{"", Align::Left}, {"", Align::Right}});
    const std::array<std::string_view, 5> labels = {"Runs", "Miles", "Kilometers", "Time",
                                                    unit == DistanceUnit::Miles ? "Pace/mi" : "Pace/km"};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        table.AddRow({std::string(labels[i]), fields[i]});
    }
    table.PrintBody(out);
    return ExitSuccess;
}

int RunChart(Words words, OutputBuffer &out, OutputBuffer &err) {
    if (!words.empty() && words.front() == "--help") {
        out.Append(ChartHelp);
        return ExitSuccess;
    }
    if (words.empty() || words.front() != "weekly") {
        throw CliError(ExitUsage, "chart: the chart is weekly (see 'pquil chart --help')");
    }
    const std::string name = "chart weekly";
    const ArgumentList args(name, words.subspan(1),
                            {{"--tsv"},
                             {"--weeks", true},
                             {"--unit", true},
                             {"--week-start", true},
                             {"--today", true},
                             {"--width", true},
                             TagOptionSpec});
    if (args.HelpRequested()) {
        out.Append(ChartHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"LOG"});
    const std::size_t weeks = WeeksOption(args);
    const DistanceUnit unit = UnitOption(args, name);
    const int weekStart = WeekStartOption(args, name);
    const int today = TodayOption(args, name);
    const std::size_t width = TerminalWidth(args);
    std::vector<WeekBar> bars = WeeklySeries(ReadRuns(args, name, err).Runs, today, weekStart);
    KeepLastWeeks(bars, today, weekStart, weeks);
    if (args.Has("--tsv")) {
        for (const WeekBar &bar : bars) {
            AppendTsvLine(out, {DayText(bar.FirstDay), FormatHundredths(DistanceIn(bar.Totals, unit)),
                                bar.AverageWeeks > 0 ? FormatHundredths(AverageIn(bar, unit)) : std::string(),
                                std::string(RampText(bar.Ramp))});
        }
        return ExitSuccess;
    }
    PrintWeeklyChart(bars, unit, width, out);
    return ExitSuccess;
}

int RunStreaks(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("streaks", words, {{"--tsv"}, {"--week-start", true}, {"--today", true}, TagOptionSpec});
    if (args.HelpRequested()) {
        out.Append(StreaksHelp);
        out.Append(CountingRules);
        return ExitSuccess;
    }
    args.ExpectOperands({"LOG"});
    const int weekStart = WeekStartOption(args, "streaks");
    const int today = TodayOption(args, "streaks");
    const Streaks streaks = ComputeStreaks(ReadRuns(args, "streaks", err).Runs, today, weekStart);
    struct Line {
        std::string_view Label;
        const Streak &Value;
    };
    const std::array<Line, 4> lines = {
        Line{"Current days", streaks.CurrentDays}, Line{"Longest days", streaks.LongestDays},
        Line{"Current weeks", streaks.CurrentWeeks}, Line{"Longest weeks", streaks.LongestWeeks}};
    TextTable table({{"Streak", Align::Left}, {"Length", Align::Right}, {"From", Align::Left}, {"Thru", Align::Left}});
    for (const Line &line : lines) {
        const bool any = line.Value.Length > 0;
        std::vector<std::string> cells = {std::string(line.Label), std::to_string(line.Value.Length),
                                          any ? DayText(line.Value.FirstDay) : std::string(),
                                          any ? DayText(line.Value.LastDay) : std::string()};
        if (args.Has("--tsv")) {
            AppendTsvLine(out, cells);
        } else {
            table.AddRow(std::move(cells));
        }
    }
    if (!args.Has("--tsv")) {
        table.Print(out);
    }
    return ExitSuccess;
}

} // namespace pq::cli
