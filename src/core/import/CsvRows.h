#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "import/Activity.h"
#include "import/ActivityFiles.h"
#include "log/LogEntry.h"

namespace pq {

// Receives each row of a CSV file as soon as it has been checked, in the log's form (Windows-1252, line breaks of
// the notes as stored), with the line on which its record begins.
using CsvRowSink = std::function<void(const LogEntry &entry, std::size_t line)>;

// Reads a CSV file with the columns that pquil export writes: the header line Date,Distance,Time,Notes (any case,
// after an optional UTF-8 byte order mark), then one record per row; blank lines hold no row. Every record must fit
// a log row in the entry editor's forms (CheckEntryForm). The file is read in blocks, never whole. At the first
// record that does not fit, the reading stops with the file, the line and the field with the reason; the rows
// handed on before it are the caller's to drop, since the file is taken whole or not at all.
std::optional<ReadError> ReadCsvFile(const std::string &path, const CsvRowSink &sink);
// The same for a text held whole, named as a file.
std::optional<ReadError> ReadCsvText(std::string_view text, const std::string &name, const CsvRowSink &sink);

// Whether a file is read as CSV: its content says so, or its content is no other format and its name ends in
// ".csv", so that the CSV reader tells what is wrong with it.
bool TakenAsCsv(FileFormat detected, std::string_view path);

} // namespace pq
