#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pq::cli {

class OutputBuffer;

enum class Align { Left, Right };

// Blanks between two columns of every table pquil prints.
inline constexpr std::size_t ColumnGap = 2;

// A small table for a person: a header line and aligned columns two blanks apart. Cells are UTF-8.
class TextTable {
public:
    struct Column {
        std::string Header;
        Align Alignment = Align::Left;
    };
    explicit TextTable(std::vector<Column> columns);

    void AddRow(std::vector<std::string> cells);
    // Prints without the header line: for label-value lists.
    void PrintBody(OutputBuffer &out) const;
    void Print(OutputBuffer &out) const;

private:
    void PrintLine(OutputBuffer &out, const std::vector<std::string> &cells,
                   const std::vector<std::size_t> &widths) const;
    std::vector<std::size_t> Widths(bool withHeader) const;

    std::vector<Column> Columns;
    std::vector<std::vector<std::string>> Rows;
};

// Characters in a UTF-8 text (every character of the code page is one column wide).
std::size_t Utf8Length(std::string_view text);

} // namespace pq::cli
