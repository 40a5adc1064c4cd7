#include "cli/Pquil.h"

#include <array>
#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "cli/CliError.h"
#include "cli/OutputBuffer.h"
#include "cli/Subcommands.h"

namespace pq::cli {

namespace {

constexpr std::string_view Version = "pquil (Pacequill) " PQUIL_VERSION "\n";

constexpr std::string_view Usage = R"(Usage: pquil COMMAND [ARGUMENTS]

The command-line companion of Pacequill: reads, adds up and converts running logs
(current .pquil logs and older headerless .pql logs alike).

Commands:
  show LOG [--from D] [--thru D]    the rows, one per line, or those of some days
  stats weekly|monthly|yearly LOG   distance per week, month or year
  stats range LOG --from D --thru D distance between two dates
  tags LOG                          the "#tags" of the notes with their runs and miles
  shoes LOG                         the "@shoes" of the notes with their distance and status
  goals LOG                         the profile's distance goals: done, projected, needed
  calc distance|time|pace ...       the entry editor's calculator
  calc splits ...                   a race pace band, mile by mile or km by km
  date TEXT                         checks a date text as the entry editor does
  convert IN OUT                    writes any log in the current format
  export LOG                        the rows as CSV or JSON on standard output
  import FILE... OUT                GPX, TCX, FIT and CSV files into a log
  merge A B OUT [--base BASE]       two copies of a log put back together
  records LOG                       best times at 1 Mile to Marathon, longest run
  summary LOG [--from D] [--thru D] runs, distance, time and average pace
  chart weekly LOG                  weekly distance as bars, with the ramp warning
  streaks LOG                       current and longest streaks of days and weeks
  load LOG                          training load: fitness, fatigue, form and ACWR

show, stats, records, summary, chart, streaks and load take --tag T: only the runs
whose notes carry "#T" count.

Options:
  --help      this text; 'pquil COMMAND --help' describes a command
  --version   the program's version

Output is UTF-8. Exit status: 0 success; 1 failure (a file that cannot be read or
written, refused data, missing calculator input, a refused date); 2 usage error.
)";

constexpr std::string_view HelpOption = "--help";
constexpr std::string_view HelpSubcommand = "help";
constexpr std::string_view VersionOption = "--version";

struct Subcommand {
    std::string_view Name;
    int (*Run)(Words, OutputBuffer &, OutputBuffer &);
};

constexpr std::array Subcommands = {
    Subcommand{"show", RunShow},       Subcommand{"stats", RunStats},     Subcommand{"calc", RunCalc},
    Subcommand{"date", RunDate},       Subcommand{"convert", RunConvert}, Subcommand{"export", RunExport},
    Subcommand{"import", RunImport},   Subcommand{"tags", RunTags},       Subcommand{"shoes", RunShoes},
    Subcommand{"records", RunRecords}, Subcommand{"summary", RunSummary}, Subcommand{"chart", RunChart},
    Subcommand{"streaks", RunStreaks}, Subcommand{"load", RunLoad},       Subcommand{"merge", RunMerge},
    Subcommand{"goals", RunGoals},
};

const Subcommand *FindSubcommand(std::string_view name) {
    for (const Subcommand &command : Subcommands) {
        if (command.Name == name) {
            return &command;
        }
    }
    return nullptr;
}

int Dispatch(Words words, OutputBuffer &out, OutputBuffer &err) {
    if (words.empty()) {
        err.Append(Usage);
        return ExitUsage;
    }
    const std::string_view first = words.front();
    if (first == HelpOption || (first == HelpSubcommand && words.size() == 1)) {
        out.Append(Usage);
        return ExitSuccess;
    }
    if (first == VersionOption) {
        out.Append(Version);
        return ExitSuccess;
    }
    if (first == HelpSubcommand) {
        if (const Subcommand *command = FindSubcommand(words[1])) {
            const std::array<std::string_view, 1> help = {HelpOption};
            return command->Run(help, out, err);
        }
        throw CliError(ExitUsage, "unknown command '" + std::string(words[1]) + "' (see 'pquil --help')");
    }
    const Subcommand *command = FindSubcommand(first);
    if (command == nullptr) {
        throw CliError(ExitUsage, "unknown command '" + std::string(first) + "' (see 'pquil --help')");
    }
    return command->Run(words.subspan(1), out, err);
}

} // namespace

int RunPquil(Words words) {
    OutputBuffer out(stdout, "standard output");
    OutputBuffer err(stderr, "standard error");
    std::string failure;
    int status = ExitFailure;
    try {
        status = Dispatch(words, out, err);
        err.Flush();
        out.Flush();
        return status;
    } catch (const CliError &error) {
        failure = error.what();
        status = error.Code();
    } catch (const std::bad_alloc &) {
        failure = "not enough memory";
    } catch (const std::exception &error) {
        failure = error.what();
    }
    // Results still collected when the command failed are dropped rather than printed as if complete.
    try {
        err.Append("pquil: " + failure + "\n");
        err.Flush();
    } catch (const std::exception &) {
        // Standard error itself cannot be written, or there is no memory left to say so: the exit status is all that is
        // left to report with.
    }
    return status;
}

} // namespace pq::cli
