// Reads arbitrary bytes as a log, writes the rows back and reads them again, checking what must survive.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "log/LogFile.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool HoldsLineBreakByte(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A row read from a file never holds the record marker or a NUL.
void CheckRowBytes(const pq::LogList &list) {
    for (int i = 0; i < list.RowCount(); ++i) {
        for (int c = 0; c < pq::ColumnCount; ++c) {
            const std::string_view text = list.Text(i, c);
            Check(text.find(pq::RecordMarker) == std::string_view::npos);
            Check(text.find('\0') == std::string_view::npos);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    pq::LogList first;
    pq::ReadLogBytes(input, first);
    CheckRowBytes(first);

    pq::LogList second;
    pq::ReadLogBytes(pq::LogBytes(first), second);
    CheckRowBytes(second);
    // Every written record fits one chunk and is never empty, so each row comes back as exactly one row.
    Check(second.RowCount() == first.RowCount());
    for (int i = 0; i < first.RowCount(); ++i) {
        const pq::LogEntry written = first.ReadEntry(i);
        // Rows with all first three fields and no real line break byte in any field come back unchanged.
        if (!written.Date.empty() && !written.Distance.empty() && !written.Time.empty() &&
            !HoldsLineBreakByte(pq::LogList::JoinEntry(written))) {
            Check(second.ReadEntry(i) == written);
        }
    }

    // Once written and read, a log is stable.
    pq::LogList third;
    const std::string bytes = pq::LogBytes(second);
    pq::ReadLogBytes(bytes, third);
    Check(third.RowCount() == second.RowCount());
    for (int i = 0; i < second.RowCount(); ++i) {
        Check(third.ReadEntry(i) == second.ReadEntry(i));
    }
    Check(pq::LogBytes(third) == bytes);
    return 0;
}
