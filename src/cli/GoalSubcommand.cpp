#include <string>
#include <vector>

#include "calc/RunArithmetic.h"
#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/DateOptions.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/Subcommands.h"
#include "cli/TextTable.h"
#include "insight/GoalProgress.h"
#include "insight/LogProfile.h"
#include "log/LogList.h"

namespace pq::cli {

namespace {

constexpr std::string_view GoalsHelp = R"(Usage: pquil goals LOG [--today DATE] [--tsv]

The distance goals of the log's profile (the file LOG.profile beside it), one line
each in the file's order: the period that holds today ("2025", "2025/07", "Week
of 2025/06/30", or a goal's own days "2025/01/06 to 2025/04/27"), the target, the
distance done (the runs of the period dated up to today, of the goal's tag when
it names one), the percent done (whole, not capped at 100), the distance the
period comes to at the rate so far (done / days gone x days in the period, the
days gone counted from its first day through today), and the distance needed
per week for the rest (what is left / days left x 7, the days left counted from
today through its last day; 0 once the goal is reached). Distances have two
decimals, in the goal's unit.

A goal whose own days have ended shows its final numbers: projected is what was
done, nothing is needed. One that has not begun shows nothing done and needs
its target spread over its days.

The profile's lines for goals:
  goal year|month|week N mi|km [tag T]   a goal for every calendar year, month
                                         or week (weeks start on the profile's
                                         week-start DAY, Monday when not set)
  goal N mi|km from DATE thru DATE [tag T]   a goal for those days
A line that cannot be read is reported on standard error with its number and
the reason and left out. Without a profile or goals nothing is printed.

Options:
  --today DATE   the day the goals are measured on (default: today)
  --tsv          TAB-separated lines: period, target, done, percent, projected,
                 needed per week (projected or needed empty when there is none)
)";

constexpr std::string_view PercentSign = "%";

std::string Distance(const std::optional<double> &value, DistanceUnit unit, bool withUnit) {
    if (!value) {
        return {};
    }
    std::string text = FormatHundredths(*value);
    if (withUnit) {
        text += ' ';
        text += UnitWord(unit);
    }
    return text;
}

} // namespace

int RunGoals(Words words, OutputBuffer &out, OutputBuffer &err) {
    const std::string name = "goals";
    const ArgumentList args(name, words, {{"--tsv"}, {"--today", true}});
    if (args.HelpRequested()) {
        out.Append(GoalsHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"LOG"});
    const int today = TodayOption(args, name);
    const std::string path(args.Operand(0));
    const LogList list = ReadLogFile(path, err);
    const LogProfile profile = ReadProfileOf(path, err);
    if (!profile.Error.empty()) {
        throw CliError(ExitFailure, profile.Error);
    }
    if (profile.Goals.empty()) {
        return ExitSuccess;
    }
    const std::vector<GoalProgress> goals = ComputeGoals(list, profile, today, DefaultWeekStart);
    const bool tsv = args.Has("--tsv");
    TextTable table({{"Period", Align::Left},
                     {"Target", Align::Right},
                     {"Done", Align::Right},
                     {"Percent", Align::Right},
                     {"Projected", Align::Right},
                     {"Needed/week", Align::Right}});
    for (const GoalProgress &goal : goals) {
        std::string percent = std::to_string(goal.Percent);
        if (!tsv) {
            percent += PercentSign;
        }
        std::vector<std::string> cells = {goal.Label,
                                          Distance(goal.Target, goal.Unit, !tsv),
                                          Distance(goal.Done, goal.Unit, !tsv),
                                          std::move(percent),
                                          Distance(goal.Projected, goal.Unit, !tsv),
                                          Distance(goal.NeededPerWeek, goal.Unit, !tsv)};
        if (tsv) {
            for (std::size_t i = 0; i < cells.size(); ++i) {
                if (i > 0) {
                    out.Append(FieldSeparator);
                }
                out.Append(cells[i]);
            }
            out.EndLine();
        } else {
            table.AddRow(std::move(cells));
        }
    }
    if (!tsv) {
        table.Print(out);
    }
    return ExitSuccess;
}

} // namespace pq::cli
