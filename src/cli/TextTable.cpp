#include "cli/TextTable.h"

#include <algorithm>

#include "cli/OutputBuffer.h"

namespace pq::cli {

namespace {

constexpr unsigned char ContinuationMask = 0xC0;
constexpr unsigned char ContinuationBits = 0x80;

} // namespace

TextTable::TextTable(std::vector<Column> columns) : Columns(std::move(columns)) {}

void TextTable::AddRow(std::vector<std::string> cells) {
    cells.resize(Columns.size());
    Rows.push_back(std::move(cells));
}

std::vector<std::size_t> TextTable::Widths(bool withHeader) const {
    std::vector<std::size_t> widths(Columns.size(), 0);
    for (std::size_t c = 0; c < Columns.size(); ++c) {
        if (withHeader) {
            widths[c] = Utf8Length(Columns[c].Header);
        }
        for (const auto &row : Rows) {
            widths[c] = std::max(widths[c], Utf8Length(row[c]));
        }
    }
    return widths;
}

void TextTable::PrintLine(OutputBuffer &out, const std::vector<std::string> &cells,
                          const std::vector<std::size_t> &widths) const {
    std::string line;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::string padding(widths[c] - Utf8Length(cells[c]), ' ');
        if (c > 0) {
            line.append(ColumnGap, ' ');
        }
        if (Columns[c].Alignment == Align::Right) {
            line.append(padding).append(cells[c]);
        } else {
            line.append(cells[c]).append(padding);
        }
    }
    // Empty or left-aligned cells at the end would leave blanks behind the visible text.
    line.erase(line.find_last_not_of(' ') + 1);
    out.Append(line);
    out.EndLine();
}

void TextTable::Print(OutputBuffer &out) const {
    const std::vector<std::size_t> widths = Widths(true);
    std::vector<std::string> header;
    for (const Column &column : Columns) {
        header.push_back(column.Header);
    }
    PrintLine(out, header, widths);
    for (const auto &row : Rows) {
        PrintLine(out, row, widths);
    }
}

void TextTable::PrintBody(OutputBuffer &out) const {
    const std::vector<std::size_t> widths = Widths(false);
    for (const auto &row : Rows) {
        PrintLine(out, row, widths);
    }
}

std::size_t Utf8Length(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & ContinuationMask) != ContinuationBits;
    }));
}

} // namespace pq::cli
