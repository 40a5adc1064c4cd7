#pragma once

#include <cstddef>

#include "log/LogFile.h"

namespace pq::cli {

class OutputBuffer;

// The machine-readable forms in which pquil prints rows.
enum class RowFormat {
    Tsv,  // show --tsv: the four texts separated by TABs, one row a line, no header
    Csv,  // export: RFC 4180 with a header line, lines ended by CR LF
    Json, // export --format json: an array of objects, one a line
};

// Prints rows one at a time, so that a log can be printed as it is read, without holding its rows.
class RowPrinter {
public:
    // Starts the output (the CSV header line).
    RowPrinter(OutputBuffer &out, RowFormat format);

    void Print(const RecordTexts &texts);
    // Ends the output (the JSON array, which is written when its first row comes or here when none did).
    void Finish();

private:
    OutputBuffer &Out;
    RowFormat Format;
    std::size_t Rows = 0;
};

} // namespace pq::cli
