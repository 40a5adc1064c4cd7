#include "cli/RowPrinter.h"

#include <string_view>

#include "cli/OutputBuffer.h"
#include "log/Characters.h"
#include "log/LogColumns.h"

namespace pq::cli {

namespace {

constexpr std::string_view CsvLineEnd = "\r\n";

} // namespace

RowPrinter::RowPrinter(OutputBuffer &out, RowFormat format) : Out(out), Format(format) {
    if (Format != RowFormat::Csv) {
        return;
    }
    for (int column = 0; column < ColumnCount; ++column) {
        if (column > 0) {
            Out.Append(CsvSeparator);
        }
        Out.Append(ColumnNames[column]);
    }
    Out.Append(CsvLineEnd);
}

void RowPrinter::Print(const RecordTexts &texts) {
    ++Rows;
    switch (Format) {
    case RowFormat::Tsv:
        for (int column = 0; column < ColumnCount; ++column) {
            if (column > 0) {
                Out.Append(FieldSeparator);
            }
            Out.AppendDecoded(texts[column], TextStyle::Tsv);
        }
        Out.EndLine();
        break;
    case RowFormat::Csv:
        for (int column = 0; column < ColumnCount; ++column) {
            if (column > 0) {
                Out.Append(CsvSeparator);
            }
            Out.AppendCsvField(texts[column]);
        }
        Out.Append(CsvLineEnd);
        break;
    case RowFormat::Json:
        // The comma after an object is written when the next one comes.
        Out.Append(Rows == 1 ? '[' : ',');
        Out.EndLine();
        Out.Append("  {");
        for (int column = 0; column < ColumnCount; ++column) {
            Out.Append(column > 0 ? ", \"" : "\"");
            Out.Append(ColumnNames[column]);
            Out.Append("\": \"");
            Out.AppendDecoded(texts[column], TextStyle::Json);
            Out.Append(Quote);
        }
        Out.Append('}');
        break;
    }
}

void RowPrinter::Finish() {
    if (Format != RowFormat::Json) {
        return;
    }
    if (Rows == 0) {
        Out.Append("[]");
    } else {
        Out.EndLine();
        Out.Append(']');
    }
    Out.EndLine();
}

} // namespace pq::cli
