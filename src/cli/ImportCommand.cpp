#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "calc/EntryForm.h"
#include "cli/ArgumentList.h"
#include "cli/Characters.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/CsvReader.h"
#include "cli/LogColumns.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/Unencodable.h"
#include "import/ActivityEntry.h"
#include "import/ActivityFiles.h"
#include "import/DuplicateCheck.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogFile.h"
#include "log/LogList.h"

namespace pq::cli {

namespace {

constexpr std::string_view ImportHelp = R"(Usage: pquil import FILE... OUT [--append] [--unit miles|kilometers]
                    [--all-sports] [--strict] [--force]

Makes a log OUT from activity files of watches and phones (GPX, TCX, FIT) and from
CSV files with the columns that 'pquil export' writes, in any mix: each file's
format is told by its content, not its name. With --append the rows go to the end
of the existing log OUT, whose rows stay as they are and in their order.

An activity becomes one row: the local date of its start (in the time zone of TZ),
its distance in the unit of --unit (miles, kilometers, mi or km; miles when not
given) with two decimals ("6.21 Miles"), its moving time as hh:mm:ss, and its name
or sport as notes. A FIT file gives a row per session; a TCX file the sums of each
activity's laps; a GPX file a row per track, measured along each segment. Only
runs are imported unless --all-sports is given; then the sport is in the notes.

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

No input file is ever overwritten. OUT is written atomically; an existing OUT is
replaced only with --force (or added to with --append).
)";

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr char NulByte = '\0';
constexpr char32_t InvertedExclamation = 0xA1;

// A record that does not fit a log row: the line, the field and the cause.
[[noreturn]] void Refuse(std::size_t line, std::string_view field, const std::string &cause) {
    throw CliError(ExitFailure, "line " + std::to_string(line) + ": " + std::string(field) + ": " + cause);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

bool IsHeader(const std::vector<std::string> &fields) {
    if (fields.size() != ColumnCount) {
        return false;
    }
    for (int column = 0; column < ColumnCount; ++column) {
        if (!EqualsIgnoringCase(fields[column], ColumnNames[column])) {
            return false;
        }
    }
    return true;
}

bool IsLineBreak(char c) {
    return c == CarriageReturn || c == LineFeed;
}

// Notes with each line break (CR LF, LF or CR) held as the stored pair 0xA0 0xA0. A no-break space (0xA0) next to
// another or to a line break would come back from the file as part of a line break, so it is refused.
std::string StoreNotes(std::string_view notes, std::size_t line) {
    std::string stored;
    stored.reserve(notes.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const char c = notes[i];
        if (IsLineBreak(c)) {
            if (c == CarriageReturn && i + 1 < notes.size() && notes[i + 1] == LineFeed) {
                ++i;
            }
            stored.append(2, StoredLineBreak);
            continue;
        }
        if (c == StoredLineBreak) {
            const bool before = i > 0 && (notes[i - 1] == StoredLineBreak || IsLineBreak(notes[i - 1]));
            const bool after = i + 1 < notes.size() && (notes[i + 1] == StoredLineBreak || IsLineBreak(notes[i + 1]));
            if (before || after) {
                Refuse(line, "Notes",
                       "a no-break space (U+00A0) next to another or to a line break would read back as a line break");
            }
        }
        stored.push_back(c);
    }
    return stored;
}

// The field in Windows-1252 as the log holds it, or a refusal naming what does not fit.
std::string StoreField(const std::string &text, int column, std::size_t line) {
    const std::string_view name = ColumnNames[column];
    const Encoded1252 encoded = EncodeUtf8To1252(text);
    if (!encoded.Ok) {
        Refuse(line, name, DescribeUnencodable(encoded.BadCharacter));
    }
    const std::string &bytes = encoded.Bytes;
    if (bytes.find(RecordMarker) != std::string::npos) {
        Refuse(line, name,
               "the character '" + Utf8OfCodePoint(InvertedExclamation) +
                   "' (U+00A1) starts a record in a log file and cannot be held by a field");
    }
    if (bytes.find(NulByte) != std::string::npos) {
        Refuse(line, name, "a NUL character (U+0000) cannot be held by a field");
    }
    std::string stored;
    if (column == NotesColumn) {
        stored = StoreNotes(bytes, line);
    } else {
        if (bytes.empty()) {
            Refuse(line, name, "empty (a log row needs a Date, a Distance and a Time)");
        }
        if (bytes.find(FieldSeparator) != std::string::npos) {
            Refuse(line, name, "a TAB separates the fields of a log row and cannot be held by this field");
        }
        if (std::any_of(bytes.begin(), bytes.end(), IsLineBreak)) {
            Refuse(line, name, "a line break cannot be held by this field");
        }
        stored = bytes;
    }
    if (stored.size() > FieldWidths[column]) {
        Refuse(line, name,
               std::to_string(stored.size()) + " bytes in Windows-1252; a log row holds at most " +
                   std::to_string(FieldWidths[column]));
    }
    return stored;
}

// The UTF-8 text of a record can take up to three bytes for each byte of a log row.
constexpr std::size_t Utf8BytesPerCodePageByte = 3;
constexpr CsvReader::Limits RecordLimits = {
    ColumnCount, Utf8BytesPerCodePageByte *(DateWidth + DistanceWidth + TimeWidth + NotesWidth)};

// The rows of a CSV file with the export's columns; a CliError names the path, the line and the cause.
LogList ReadCsvRows(std::string_view text, const std::string &path) {
    if (text.starts_with(Utf8ByteOrderMark)) {
        text.remove_prefix(Utf8ByteOrderMark.size());
    }
    CsvReader reader(text, RecordLimits);
    std::vector<std::string> fields;
    LogList list;
    try {
        if (!reader.Next(fields) || !IsHeader(fields)) {
            throw CliError(ExitFailure, "line 1: the first line must be the header Date,Distance,Time,Notes");
        }
        while (reader.Next(fields)) {
            const std::size_t line = reader.RecordLine();
            if (fields.size() == 1 && fields.front().empty()) {
                continue; // a blank line holds no row
            }
            if (fields.size() != ColumnCount) {
                throw CliError(ExitFailure, "line " + std::to_string(line) + ": " + std::to_string(fields.size()) +
                                                " field(s); a row has 4: Date,Distance,Time,Notes");
            }
            LogEntry entry;
            entry.Date = StoreField(fields[DateColumn], DateColumn, line);
            entry.Distance = StoreField(fields[DistanceColumn], DistanceColumn, line);
            entry.Time = StoreField(fields[TimeColumn], TimeColumn, line);
            entry.Notes = StoreField(fields[NotesColumn], NotesColumn, line);
            if (const std::optional<EntryFault> fault = CheckEntryForm(entry)) {
                Refuse(line, ColumnNames[fault->Column], "'" + fields[fault->Column] + "': " + fault->Reason);
            }
            list.AppendEntry(entry);
        }
    } catch (const CliError &error) {
        throw CliError(error.Code(), path + ": " + error.what());
    }
    return list;
}

constexpr std::array<std::string_view, 4> UnitNames = {"miles", "kilometers", "mi", "km"};

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

bool IsCsvName(std::string_view path) {
    constexpr std::string_view CsvSuffix = ".csv";
    return path.size() >= CsvSuffix.size() &&
           EqualsIgnoringCase(path.substr(path.size() - CsvSuffix.size()), CsvSuffix);
}

std::string RowTexts(const LogEntry &entry) {
    return Decode1252ToUtf8(entry.Date + " " + entry.Distance + " " + entry.Time);
}

// Adds the rows of one file to the log, skipping duplicates of the rows already there and, unless every sport is
// asked for, activities that are not runs; tells about each one skipped.
class ImportRun {
public:
    ImportRun(LogList &log, OutputBuffer &err, DistanceUnit unit, bool allSports)
        : Log(log), Err(err), Unit(unit), AllSports(allSports) {
        Existing.AddRows(log);
    }

    // False when the file could not be read; the reason has been reported.
    bool ImportFile(const std::string &path) {
        FileActivities file = ReadActivityFile(path);
        // A file named .csv that is no other format gets the CSV reader's own account of what is wrong with it.
        if (file.Format == FileFormat::Csv || (file.Format == FileFormat::Unknown && IsCsvName(path))) {
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
                continue;
            }
            LogEntry entry;
            if (!MakeActivityEntry(activity, Unit, entry)) {
                Report(which + " (" + ActivityDateText(activity.Start) +
                       "): its distance is too long for a log row, skipped");
                continue;
            }
            Add(entry, which);
        }
        Commit();
        return true;
    }

private:
    bool ImportCsv(const std::string &path) {
        LogList rows;
        try {
            rows = ReadCsvRows(ReadInputFile(path), path);
        } catch (const CliError &error) {
            Report(error.what());
            return false;
        }
        for (int row = 0; row < rows.RowCount(); ++row) {
            Add(rows.ReadEntry(row), path + ": row " + std::to_string(row + 1));
        }
        Commit();
        return true;
    }

    void Add(const LogEntry &entry, const std::string &which) {
        if (Existing.Contains(entry)) {
            Report(which + " (" + RowTexts(entry) + ") is already in the log, skipped");
            return;
        }
        Log.AppendEntry(entry);
        Added.push_back(entry);
    }

    // A file's rows count as existing for the files after it (not for its own other rows: a log may hold two
    // runs of the same date, distance and time, and its export must import whole).
    void Commit() {
        for (const LogEntry &entry : Added) {
            Existing.Add(entry);
        }
        Added.clear();
    }

    void Report(const std::string &text) { Err.Append("pquil: " + text + "\n"); }

    LogList &Log;
    OutputBuffer &Err;
    DistanceUnit Unit;
    bool AllSports;
    DuplicateCheck Existing;
    std::vector<LogEntry> Added;
};

} // namespace

int RunImport(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("import", words,
                            {{"--force"}, {"--append"}, {"--unit", true}, {"--all-sports"}, {"--strict"}});
    if (args.HelpRequested()) {
        out.Append(ImportHelp);
        return ExitSuccess;
    }
    if (args.OperandCount() < 2) {
        args.ExpectOperands({"FILE", "OUT"});
    }
    const DistanceUnit unit = ParseUnit(args.Value("--unit"));
    const std::size_t inputs = args.OperandCount() - 1;
    const std::string outPath(args.Operand(inputs));
    const bool append = args.Has("--append");
    for (std::size_t i = 0; i < inputs; ++i) {
        CheckOutputPath(std::string(args.Operand(i)), outPath, append || args.Has("--force"));
    }
    LogList log = append ? ReadLogFile(outPath, err) : LogList();
    ImportRun run(log, err, unit, args.Has("--all-sports"));
    std::size_t unreadable = 0;
    for (std::size_t i = 0; i < inputs; ++i) {
        if (!run.ImportFile(std::string(args.Operand(i)))) {
            ++unreadable;
        }
    }
    if (unreadable > 0 && (args.Has("--strict") || unreadable == inputs)) {
        err.Append("pquil: " + std::to_string(unreadable) + " of " + std::to_string(inputs) +
                   " file(s) could not be read; nothing was written\n");
        return ExitFailure;
    }
    WriteOutputLog(outPath, log);
    return unreadable > 0 ? ExitFailure : ExitSuccess;
}

} // namespace pq::cli
