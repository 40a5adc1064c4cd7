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
#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogFile.h"
#include "log/LogList.h"

namespace pq::cli {

namespace {

constexpr std::string_view ImportHelp = R"(Usage: pquil import CSV OUT [--force]

Makes a new log OUT from a UTF-8 CSV file with the columns that 'pquil export'
writes: the header line Date,Distance,Time,Notes, then one record per row. A line
break in the notes becomes a line break of the log's notes.

Every record must fit a log row: four fields; Date, Distance and Time not empty and
without a TAB or a line break; at most 15 bytes for Date, Distance and Time and 755
for Notes in Windows-1252; no character that Windows-1252 cannot hold and no '¡'
(the log's record marker). Date, Distance and Time must be as the entry editor
writes them, so that every row counts in the statistics:
  Date      yyyy/mm/dd from 1980/01/01 to 2079/12/31, or No Date
  Distance  a number, a blank and Miles, Kilometers or Marathons, as in 13.1 Miles
  Time      hh:mm:ss, decimals after the seconds allowed, as in 01:43:29 or 00:45:30.5
The first record that does not fit is reported with its line number, the field and
the reason, and nothing is written.

The input is never overwritten. OUT is written atomically; an existing OUT is
replaced only with --force.
)";

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr char NulByte = '\0';
constexpr char32_t InvertedExclamation = 0xA1;

// A record that does not fit a log row: the line, the field and the cause.
[[noreturn]] void Refuse(std::size_t line, std::string_view field, const std::string &cause) {
    throw CliError(ExitFailure, "line " + std::to_string(line) + ": " + std::string(field) + ": " + cause);
}

bool IsHeader(const std::vector<std::string> &fields) {
    if (fields.size() != ColumnCount) {
        return false;
    }
    for (int column = 0; column < ColumnCount; ++column) {
        const bool same = std::equal(fields[column].begin(), fields[column].end(), ColumnNames[column].begin(),
                                     ColumnNames[column].end(), [](char a, char b) {
                                         return std::tolower(static_cast<unsigned char>(a)) ==
                                                std::tolower(static_cast<unsigned char>(b));
                                     });
        if (!same) {
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

LogList ReadCsvRows(std::string_view text, const std::string &path) {
    if (text.starts_with(Utf8ByteOrderMark)) {
        text.remove_prefix(Utf8ByteOrderMark.size());
    }
    CsvReader reader(text);
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
        throw CliError(error.Code(), path + ": " + error.what() + "; nothing was written");
    }
    return list;
}

} // namespace

int RunImport(Words words, OutputBuffer &out, OutputBuffer &) {
    const ArgumentList args("import", words, {{"--force"}});
    if (args.HelpRequested()) {
        out.Append(ImportHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"CSV", "OUT"});
    const std::string in(args.Operand(0));
    const std::string outPath(args.Operand(1));
    CheckOutputPath(in, outPath, args.Has("--force"));
    const LogList list = ReadCsvRows(ReadInputFile(in), in);
    WriteOutputFile(outPath, LogBytes(list));
    return ExitSuccess;
}

} // namespace pq::cli
