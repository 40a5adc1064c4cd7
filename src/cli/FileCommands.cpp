#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "log/Characters.h"
#include "log/LogColumns.h"
#include "log/LogEntry.h"
#include "log/LogFile.h"
#include "log/LogList.h"

namespace pq::cli {

namespace {

constexpr std::string_view ConvertHelp = R"(Usage: pquil convert IN OUT [--force]

Reads a log of any version (older logs without a header line and with two-digit
years too) and writes it to OUT in the current format, as the windowed program
saves it. The input is never overwritten. OUT is written atomically; an existing
OUT is replaced only with --force.

Texts longer than a log field holds (15 bytes for Date, Distance and Time, 755 for
Notes) are cut as a save cuts them; a warning on standard error says so.
)";

constexpr std::string_view ExportHelp = R"(Usage: pquil export LOG [--format csv|json]

Writes the rows of a log to standard output in UTF-8, in their stored order.

  csv    (the default) RFC 4180: the header line Date,Distance,Time,Notes, then one
         record per row, lines ended by CR LF; a line break in the notes is a CR LF
         inside the quoted field
  json   an array of objects with the members Date, Distance, Time and Notes; a line
         break in the notes is "\r\n"
)";

constexpr std::array<std::string_view, 2> FormatNames = {"csv", "json"};
constexpr std::string_view CsvLineEnd = "\r\n";

void ExportCsv(const LogList &list, OutputBuffer &out) {
    for (int column = 0; column < ColumnCount; ++column) {
        if (column > 0) {
            out.Append(CsvSeparator);
        }
        out.Append(ColumnNames[column]);
    }
    out.Append(CsvLineEnd);
    for (int row = 0; row < list.RowCount(); ++row) {
        for (int column = 0; column < ColumnCount; ++column) {
            if (column > 0) {
                out.Append(CsvSeparator);
            }
            const std::string_view text = list.Text(row, column);
            const bool quoted = NeedsCsvQuotes(text);
            if (quoted) {
                out.Append(Quote);
            }
            out.AppendDecoded(text, TextStyle::Csv);
            if (quoted) {
                out.Append(Quote);
            }
        }
        out.Append(CsvLineEnd);
    }
}

void ExportJson(const LogList &list, OutputBuffer &out) {
    if (list.RowCount() == 0) {
        out.Append("[]");
        out.EndLine();
        return;
    }
    out.Append('[');
    out.EndLine();
    for (int row = 0; row < list.RowCount(); ++row) {
        out.Append("  {");
        for (int column = 0; column < ColumnCount; ++column) {
            out.Append(column > 0 ? ", \"" : "\"");
            out.Append(ColumnNames[column]);
            out.Append("\": \"");
            out.AppendDecoded(list.Text(row, column), TextStyle::Json);
            out.Append(Quote);
        }
        out.Append(row + 1 < list.RowCount() ? "}," : "}");
        out.EndLine();
    }
    out.Append(']');
    out.EndLine();
}

// The rows whose texts a save cuts to the field widths, and the first of them (1-based).
struct CutRows {
    int Count = 0;
    int First = 0;
};

CutRows FindCutRows(const LogList &list) {
    CutRows cut;
    for (int row = 0; row < list.RowCount(); ++row) {
        for (int column = 0; column < ColumnCount; ++column) {
            if (list.Text(row, column).size() > FieldWidths[column]) {
                cut.First = cut.Count == 0 ? row + 1 : cut.First;
                ++cut.Count;
                break;
            }
        }
    }
    return cut;
}

} // namespace

int RunConvert(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("convert", words, {{"--force"}});
    if (args.HelpRequested()) {
        out.Append(ConvertHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"IN", "OUT"});
    const std::string in(args.Operand(0));
    const std::string outPath(args.Operand(1));
    CheckOutputPath(in, outPath, args.Has("--force"));
    const LogList list = ReadLogFile(in, err);
    WriteOutputLog(outPath, list);
    if (const CutRows cut = FindCutRows(list); cut.Count > 0) {
        err.Append("pquil: warning: " + in + ": " + std::to_string(cut.Count) +
                   " row(s) held texts longer than a log field, cut as a save cuts them (the first is row " +
                   std::to_string(cut.First) + ")");
        err.EndLine();
    }
    return ExitSuccess;
}

int RunExport(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("export", words, {{"--format", true}});
    if (args.HelpRequested()) {
        out.Append(ExportHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"LOG"});
    std::size_t format = 0;
    if (const std::optional<std::string_view> name = args.Value("--format")) {
        const std::optional<std::size_t> match = MatchPrefix(*name, FormatNames);
        if (!match || name->size() != FormatNames[*match].size()) {
            throw CliError(ExitUsage, "export: --format '" + std::string(*name) + "': not csv or json");
        }
        format = *match;
    }
    const LogList list = ReadLogFile(std::string(args.Operand(0)), err);
    if (format == 0) {
        ExportCsv(list, out);
    } else {
        ExportJson(list, out);
    }
    return ExitSuccess;
}

} // namespace pq::cli
