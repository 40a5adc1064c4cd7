#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/DateRangeOption.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/RowPrinter.h"
#include "cli/SelectedRows.h"
#include "cli/Subcommands.h"
#include "cli/TagOption.h"
#include "cli/TextTable.h"
#include "log/LogColumns.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq::cli {

namespace {

constexpr std::string_view ShowHelp =
    R"(Usage: pquil show LOG [--from YYYY/MM/DD] [--thru YYYY/MM/DD] [--tag T] [--tsv]

Prints the rows of a log in their stored order, one per line, in aligned columns
Date, Distance and Time, then Notes. A line break in the notes shows as a return
symbol. Texts are converted from Windows-1252 to UTF-8.

Options:
  --from DATE  only the rows dated on or after this day, a real date; rows
               without a date are left out
  --thru DATE  only the rows dated on or before this day; with --from, the rows
               that 'pquil stats range' adds up (--from after --thru: a warning,
               no rows)
  --tag T      only the rows whose notes carry the tag "#T" (see 'pquil tags --help')
  --tsv        machine-readable: Date, Distance, Time, Notes separated by TABs, no
               header; in the texts a line break is written as \n, a backslash as
               \\, a TAB as \t
)";

void PrintColumns(const LogList &list, OutputBuffer &out) {
    std::array<std::size_t, NotesColumn> widths{};
    for (int column = 0; column < NotesColumn; ++column) {
        widths[column] = ColumnNames[column].size();
    }
    for (int row = 0; row < list.RowCount(); ++row) {
        for (int column = 0; column < NotesColumn; ++column) {
            // A text wider than its field overflows its column rather than widening the column for every row.
            const std::size_t width = std::min(DisplayWidth(list.Text(row, column)), FieldWidths[column]);
            widths[column] = std::max(widths[column], width);
        }
    }
    for (int column = 0; column < NotesColumn; ++column) {
        out.Append(ColumnNames[column]);
        out.AppendBlanks(widths[column] - ColumnNames[column].size() + ColumnGap);
    }
    out.Append(ColumnNames[NotesColumn]);
    out.EndLine();
    for (int row = 0; row < list.RowCount(); ++row) {
        // Blanks are held back until text follows them, so that no line ends in blanks.
        std::size_t pendingBlanks = 0;
        for (int column = 0; column < ColumnCount; ++column) {
            const std::string_view text = list.Text(row, column);
            if (!text.empty()) {
                out.AppendBlanks(pendingBlanks);
                out.AppendDecoded(text, TextStyle::Display);
                pendingBlanks = 0;
            }
            if (column < NotesColumn) {
                const std::size_t width = DisplayWidth(text);
                pendingBlanks += (width < widths[column] ? widths[column] - width : 0) + ColumnGap;
            }
        }
        out.EndLine();
    }
}

} // namespace

int RunShow(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("show", words, {{"--tsv"}, TagOptionSpec, FromOptionSpec, ThruOptionSpec});
    if (args.HelpRequested()) {
        out.Append(ShowHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"LOG"});
    const std::string path(args.Operand(0));
    const std::optional<std::string> tag = TagName(args, "show");
    const bool ranged = HasDateRange(args);
    const DateRange range = ranged ? ReadDateRange(args, "show", false) : DateRange{};
    if (args.Has("--tsv")) {
        // Each row is printed as it is read, so that no copy of the log is held.
        RowPrinter printer(out, RowFormat::Tsv);
        SelectedRows rows(tag, ranged ? std::optional<DateRange>(range) : std::nullopt,
                          [&printer](const RecordTexts &texts) { printer.Print(texts); });
        ScanInputLog(path, rows, err);
        printer.Finish();
    } else {
        // The columns take their widths from every row: the rows are read whole.
        LogList list = RowsWithTag(ReadLogFile(path, err), tag);
        if (ranged) {
            list = RowsInRange(list, range);
        }
        PrintColumns(list, out);
    }
    if (ranged) {
        WarnIfReversed(range, "show", err);
    }
    return ExitSuccess;
}

} // namespace pq::cli
