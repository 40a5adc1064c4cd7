// The CSV import on arbitrary bytes: the records are the same however the text is cut into blocks, and every row
// handed on fits a log row in the entry editor's forms.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "calc/EntryForm.h"
#include "import/CsvReader.h"
#include "import/CsvRows.h"
#include "log/LogColumns.h"

namespace {

constexpr pq::CsvReader::Limits FuzzLimits = {4, 64};

struct Reading {
    std::vector<std::vector<std::string>> Records;
    std::size_t RefusedLine = 0;
    std::string Refusal;
};

Reading Read(pq::CsvReader &reader) {
    Reading reading;
    std::vector<std::string> fields;
    pq::CsvReader::Outcome outcome;
    while ((outcome = reader.Next(fields)) == pq::CsvReader::Outcome::Record) {
        reading.Records.push_back(fields);
    }
    if (outcome == pq::CsvReader::Outcome::Refused) {
        reading.RefusedLine = reader.Refused().Line;
        reading.Refusal = reader.Refused().Reason;
    }
    return reading;
}

bool SameReading(const Reading &a, const Reading &b) {
    return a.Records == b.Records && a.RefusedLine == b.RefusedLine && a.Refusal == b.Refusal;
}

void CheckRow(const pq::LogEntry &entry) {
    for (int column = 0; column < pq::ColumnCount; ++column) {
        const std::string &text = entry.Field(column);
        const bool fits = text.size() <= pq::FieldWidths[column] && text.find(pq::RecordMarker) == std::string::npos &&
                          (column == pq::NotesColumn || text.find(pq::FieldSeparator) == std::string::npos);
        if (!fits) {
            std::abort();
        }
    }
    if (pq::CheckEntryForm(entry)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the block size; the rest is the text.
    const std::size_t blockSize = std::max<std::size_t>(1, data[0] % 17);
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);

    pq::CsvReader whole(text, FuzzLimits);
    std::size_t pos = 0;
    pq::CsvReader inBlocks(
        [&]() {
            const std::string_view block = text.substr(pos, blockSize);
            pos += block.size();
            return block;
        },
        FuzzLimits);
    if (!SameReading(Read(whole), Read(inBlocks))) {
        std::abort();
    }

    (void)pq::ReadCsvText(text, "fuzz", [](const pq::LogEntry &entry, std::size_t) { CheckRow(entry); });
    return 0;
}
