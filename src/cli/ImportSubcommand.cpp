#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/Subcommands.h"
#include "import/ActivityEntry.h"
#include "import/ActivityFiles.h"
#include "import/ActivityInputs.h"
#include "import/ActivityReadAhead.h"
#include "import/CsvRows.h"
#include "import/DuplicateCheck.h"
#include "insight/LogProfile.h"
#include "insight/ShoeRegistry.h"
#include "log/Characters.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogFile.h"
#include "log/LogList.h"
#include "log/LogLock.h"

namespace pq::cli {

namespace {

constexpr std::string_view ImportHelp = R"(Usage: pquil import FILE... OUT [--append] [--unit miles|kilometers]
                    [--time moving|elapsed] [--all-sports] [--undated]
                    [--strict] [--force]

Makes a log OUT from activity files of watches and phones (GPX, TCX, FIT) and from
CSV files with the columns that 'pquil export' writes, in any mix: each file's
format is told by its content, not its name. With --append the rows go to the end
of the existing log OUT, whose rows stay as they are and in their order.

An activity becomes one row: the local date of its start (in the time zone of TZ),
its distance in the unit of --unit (miles, kilometers, mi or km; miles when not
given) with two decimals ("6.21 Miles"), its moving time as hh:mm:ss (its elapsed
time with --time elapsed), and its name or sport as notes. A FIT file gives a row
per session; a TCX file the sums of each activity's laps; a GPX file a row per
track, measured along each segment. Only runs are imported unless --all-sports is
given; then the sport is in the notes.

The moving time leaves out pauses and stops: a FIT session's timer time, the sum
of a TCX activity's laps, and in GPX the intervals between points at 0.5 m/s or
faster. The elapsed time runs from the start to the last recorded point.

A damaged FIT file (cut short, a message that cannot be read, a bad CRC, bytes
after its end) gives the activities read before the fault, and a run whose
session is missing is rebuilt from its records; each is reported on standard
error with the fault and imported.

An activity without a distance is skipped ("no distance recorded"), and so is one
whose time does not fit a row's Time. An activity whose start is no date a log can
hold (a watch whose clock was not set) is skipped too ("its clock was not set"),
unless --undated is given: then its row's date is No Date.

A row whose Date, Distance and Time equal a row already in the log (or imported
from an earlier FILE) is a duplicate: it is skipped and reported.

A CSV file must hold the header line Date,Distance,Time,Notes, then one record per
row. Every record must fit a log row: four fields; Date, Distance and Time not
empty and without a TAB or a line break; at most 15 bytes for Date, Distance and
Time and 755 for Notes in Windows-1252; no character that Windows-1252 cannot hold
and no '¡' (the log's record marker). Date, Distance and Time must be as the entry
editor writes them, so that every row counts in the statistics:
  Date      yyyy/mm/dd from 1980/01/01 to 2079/12/31, or No Date
  Distance  a number, a blank and Miles, Kilometers or Marathons, as in 13.1 Miles
  Time      hh:mm:ss, decimals after the seconds allowed, as in 01:43:29 or 00:45:30.5
A line break in the notes becomes a line break of the log's notes. A CSV file with
a record that does not fit is not read at all; the first such record is reported
with its line number, the field and the reason.

Each file that cannot be read is reported on standard error with the reason, and
the others are still imported (the exit status is then 1). With --strict nothing
is written when any file cannot be read; nothing is written either when no file
could be read.

When no run is left to import (every activity refused or not a run, or every run
already in the log), nothing is written and the reason is printed; the exit status
is 1 when something was refused and 0 when every run was already there.

When the profile beside OUT (the file OUT.profile) names a default shoe
("shoe @NAME default"), "@NAME" is added at the end of the notes of each run from
a GPX, TCX or FIT file, after a blank, unless the notes name a shoe already or it
would not fit them; rows from CSV files stay as they are. With --append, a shoe
that the import takes over its limit (its own in the profile, else 500 miles) is
named on standard error. A profile line that cannot be read is reported there with its
number and the reason, and changes no exit status.

No input file is ever overwritten. OUT is written atomically; an existing OUT is
replaced only with --force (or added to with --append), and only when it is a log:
any other file (an activity file named last by mistake) is refused with exit
status 2. With --append the rows already in OUT are kept as they are: a row with a
text longer than a log field is refused with its line, unless --force is given,
which cuts it as a save does and says how many rows it cut. While it reads and
writes OUT, the import holds the log's lock (see 'pquil merge --help'), so
imports started at once take turns and none loses another's runs.
)";

constexpr std::array<std::string_view, 4> UnitNames = {"miles", "kilometers", "mi", "km"};
constexpr std::string_view MovingName = "moving";
constexpr std::string_view ElapsedName = "elapsed";

DistanceUnit ParseUnit(std::optional<std::string_view> text) {
    if (!text) {
        return DistanceUnit::Miles;
    }
    for (std::size_t i = 0; i < UnitNames.size(); ++i) {
        if (EqualsIgnoringCase(*text, UnitNames[i])) {
            return i % 2 == 0 ? DistanceUnit::Miles : DistanceUnit::Kilometers;
        }
    }
    throw CliError(ExitUsage, "import: unknown unit '" + std::string(*text) +
                                  "' for --unit: miles, kilometers, mi or km (see 'pquil import --help')");
}

RowTime ParseTime(std::optional<std::string_view> text) {
    if (!text || EqualsIgnoringCase(*text, MovingName)) {
        return RowTime::Moving;
    }
    if (EqualsIgnoringCase(*text, ElapsedName)) {
        return RowTime::Elapsed;
    }
    throw CliError(ExitUsage, "import: unknown time '" + std::string(*text) +
                                  "' for --time: moving or elapsed (see 'pquil import --help')");
}

std::string RowTexts(const LogEntry &entry) {
    return Decode1252ToUtf8(entry.Date + " " + entry.Distance + " " + entry.Time);
}

// Adds the rows of one file to the log, skipping duplicates of the rows already there and, unless every sport is
// asked for, activities that are not runs; tells about each one skipped. A file's rows count as existing for the
// files after it, not for its own other rows: a log may hold two runs of the same date, distance and time, and its
// export must import whole.
class ImportRun {
public:
    ImportRun(LogList &log, OutputBuffer &err, DistanceUnit unit, RowTime time, bool allSports, bool undated,
              std::string defaultShoe)
        : Log(log), Err(err), Unit(unit), Time(time), AllSports(allSports), Undated(undated),
          DefaultShoe(std::move(defaultShoe)), Existing(log) {}

    // False when the file could not be read; the reason has been reported.
    bool ImportFile(const std::string &path, const FileActivities &file) {
        Existing.CountRowsBefore(Log.RowCount());
        if (file.Plain && TakenAsCsv(file.Format, path)) {
            return ImportCsv(path);
        }
        if (file.Error) {
            Report(file.Error->Text());
            return false;
        }
        for (std::size_t i = 0; i < file.Activities.size(); ++i) {
            const Activity &activity = file.Activities[i];
            const std::string which = path + ": activity " + std::to_string(i + 1);
            if (!activity.Running && !AllSports) {
                Report(which + " (" + ActivityDateText(activity.Start) + ", " + SportLabel(activity) +
                       ") is not a run, skipped (--all-sports imports it)");
                ++Refused;
                continue;
            }
            LogEntry entry;
            if (const std::string_view refusal = MakeActivityEntry(activity, Unit, Time, entry); !refusal.empty()) {
                Report(which + " (" + ActivityDateText(activity.Start) + "): " + std::string(refusal) + ", skipped");
                ++Refused;
                continue;
            }
            if (!activity.Remark.empty()) {
                Report(which + " (" + entry.Date + "): " + activity.Remark);
            }
            if (!(activity.DistanceMeters > 0)) {
                Report(which + " (" + entry.Date + "): " + std::string(NoDistance) + ", skipped");
                ++Refused;
                continue;
            }
            if (!HasLogDate(activity) && !Undated) {
                Report(which + ": " + std::string(ClockNotSet) + ", skipped (--undated imports it as No Date)");
                ++Refused;
                continue;
            }
            // A device's run is marked with the profile's default shoe; a CSV row stays as the user wrote it.
            AddDefaultShoe(entry.Notes, DefaultShoe);
            Add(entry, [&which]() -> const std::string & { return which; });
        }
        return true;
    }

    // Activities not taken for what they are (not runs, too long for a row).
    std::size_t Refused = 0;

private:
    // A CSV file is taken whole or not at all: it is checked through first, without keeping a row, and only a
    // file that passes is read again into the log, which then knows how many rows it takes. A file that changes
    // in between and fails on the second reading leaves none of its rows behind.
    bool ImportCsv(const std::string &path) {
        std::size_t rows = 0;
        if (const std::optional<ReadError> error =
                ReadCsvFile(path, [&rows](const LogEntry &, std::size_t) { ++rows; })) {
            Report(error->Text());
            return false;
        }
        const int before = Log.RowCount();
        Log.Reserve(rows, 0);
        int row = 0;
        const std::optional<ReadError> error = ReadCsvFile(path, [&](const LogEntry &entry, std::size_t) {
            ++row;
            Add(entry, [&path, row] { return path + ": row " + std::to_string(row); });
        });
        if (error) {
            while (Log.RowCount() > before) {
                Log.RemoveRow(Log.RowCount() - 1);
            }
            Report(error->Text());
            return false;
        }
        return true;
    }

    template <typename Naming> void Add(const LogEntry &entry, const Naming &which) {
        if (Existing.Contains(entry)) {
            Report(which() + " (" + RowTexts(entry) + ") is already in the log, skipped");
            return;
        }
        Log.AppendEntry(entry);
    }

    void Report(const std::string &text) { Err.Append("pquil: " + text + "\n"); }

    LogList &Log;
    OutputBuffer &Err;
    DistanceUnit Unit;
    RowTime Time;
    bool AllSports;
    bool Undated;
    std::string DefaultShoe; // Windows-1252, empty for none
    DuplicateCheck Existing;
};

} // namespace

int RunImport(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args(
        "import", words,
        {{"--force"}, {"--append"}, {"--unit", true}, {"--time", true}, {"--all-sports"}, {"--strict"}, {"--undated"}});
    if (args.HelpRequested()) {
        out.Append(ImportHelp);
        return ExitSuccess;
    }
    if (args.OperandCount() < 2) {
        args.ExpectOperands({"FILE", "OUT"});
    }
    const DistanceUnit unit = ParseUnit(args.Value("--unit"));
    const RowTime time = ParseTime(args.Value("--time"));
    const std::size_t inputs = args.OperandCount() - 1;
    const std::string outPath(args.Operand(inputs));
    const bool append = args.Has("--append");
    const bool force = args.Has("--force");
    for (std::size_t i = 0; i < inputs; ++i) {
        CheckOutputPath(std::string(args.Operand(i)), outPath, append || force);
    }
    LogLock lock(outPath);
    if (!lock.Acquire()) {
        throw CliError(ExitFailure, lock.Error());
    }
    RefuseNonLogOutput(outPath);
    LogList log = append ? ReadLogToRewrite(outPath, force, err) : LogList();
    const int before = log.RowCount();
    const LogProfile profile = ReadProfileOf(outPath, err);
    if (!profile.Error.empty()) {
        err.Append("pquil: warning: " + profile.Error + "; the runs are imported without its default shoe\n");
    }
    const ShoeSettings *defaultShoe = DefaultShoe(profile);
    ImportRun run(log, err, unit, time, args.Has("--all-sports"), args.Has("--undated"),
                  defaultShoe != nullptr ? defaultShoe->Name : std::string());
    std::vector<std::string> paths;
    paths.reserve(inputs);
    for (std::size_t i = 0; i < inputs; ++i) {
        paths.emplace_back(args.Operand(i));
    }
    std::vector<ReadError> unlisted;
    ActivityReadAhead reads(ExpandActivityInputs(paths, unlisted), ReadingThreads());
    for (const ReadError &error : unlisted) {
        err.Append("pquil: " + error.Text() + "\n");
    }
    std::size_t unreadable = unlisted.size();
    const std::size_t files = reads.Size() + unlisted.size();
    for (std::size_t i = 0; i < reads.Size(); ++i) {
        if (!run.ImportFile(reads.Path(i), reads.TakeNext())) {
            ++unreadable;
        }
    }
    if (unreadable > 0 && (args.Has("--strict") || unreadable == files)) {
        err.Append("pquil: " + std::to_string(unreadable) + " of " + std::to_string(files) +
                   " file(s) could not be read; nothing was written\n");
        return ExitFailure;
    }
    const bool failed = unreadable > 0 || run.Refused > 0;
    if (log.RowCount() == before) {
        err.Append(failed ? "pquil: no run left to import; nothing was written\n"
                          : "pquil: 0 new runs (every run is already in the log); nothing was written\n");
        return failed ? ExitFailure : ExitSuccess;
    }
    WriteOutputLog(outPath, log);
    // A shoe is taken over its limit by runs added to a log that had it under; a new log had no shoes to take.
    if (append) {
        for (const ShoeRow &shoe :
             ShoesTakenOverBy(log, before, profile, {DefaultShoeLimitMiles, DistanceUnit::Miles})) {
            err.Append("pquil: " + TakenOverText(shoe) + "\n");
        }
    }
    return unreadable > 0 ? ExitFailure : ExitSuccess;
}

} // namespace pq::cli
