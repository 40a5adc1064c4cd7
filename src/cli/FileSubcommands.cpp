#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/RowPrinter.h"
#include "cli/SelectedRows.h"
#include "cli/Subcommands.h"
#include "log/LogColumns.h"
#include "log/LogEntry.h"
#include "log/LogFile.h"
#include "log/LogFileWriter.h"
#include "log/LogLock.h"

namespace pq::cli {

namespace {

constexpr std::string_view ConvertHelp = R"(Usage: pquil convert IN OUT [--force]

Reads a log of any version (older logs without a header line and with two-digit
years too) and writes it to OUT in the current format, as the windowed program
saves it. The input is never overwritten. OUT is written atomically; an existing
OUT is replaced only with --force, and only when it is a log (any other file is
refused with exit status 2).

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

// Writes each row to the new log as it is read, as a save writes it, and counts the rows whose texts the save cuts
// to the field widths. The file is made only once the input is being read, so that an input that cannot be read
// leaves the output path untouched.
class ConvertedLog {
public:
    explicit ConvertedLog(const std::string &path) : Writer(path) {}

    void Add(const RecordTexts &texts) {
        Start();
        ++Rows;
        for (int column = 0; column < ColumnCount; ++column) {
            if (texts[column].size() > FieldWidths[column]) {
                FirstCut = CutRows == 0 ? Rows : FirstCut;
                ++CutRows;
                break;
            }
        }
        if (!Writer.Append(texts)) {
            throw CliError(ExitFailure, Writer.Error());
        }
    }

    void Commit() {
        Start();
        if (!Writer.Commit()) {
            throw CliError(ExitFailure, Writer.Error());
        }
    }

    std::size_t CutRows = 0;
    std::size_t FirstCut = 0; // counted from 1

private:
    void Start() {
        if (!Started && !Writer.Open()) {
            throw CliError(ExitFailure, Writer.Error());
        }
        Started = true;
    }

    LogFileWriter Writer;
    bool Started = false;
    std::size_t Rows = 0;
};

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
    LogLock lock(outPath);
    if (!lock.Acquire()) {
        throw CliError(ExitFailure, lock.Error());
    }
    RefuseNonLogOutput(outPath);
    ConvertedLog converted(outPath);
    SelectedRows rows(std::nullopt, std::nullopt, [&converted](const RecordTexts &texts) { converted.Add(texts); });
    ScanInputLog(in, rows, err);
    converted.Commit();
    if (converted.CutRows > 0) {
        err.Append("pquil: warning: " + in + ": " + std::to_string(converted.CutRows) +
                   " row(s) held texts longer than a log field, cut as a save cuts them (the first is row " +
                   std::to_string(converted.FirstCut) + ")");
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
    RowPrinter printer(out, format == 0 ? RowFormat::Csv : RowFormat::Json);
    SelectedRows rows(std::nullopt, std::nullopt, [&printer](const RecordTexts &texts) { printer.Print(texts); });
    ScanInputLog(std::string(args.Operand(0)), rows, err);
    printer.Finish();
    return ExitSuccess;
}

} // namespace pq::cli
