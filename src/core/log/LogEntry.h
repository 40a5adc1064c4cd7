#pragma once

#include <cstddef>
#include <string>

namespace pq {

// Widths through which a row's texts are read back (buffers of 16, 16, 16 and 756 bytes with the terminator).
inline constexpr std::size_t DateWidth = 15;
inline constexpr std::size_t DistanceWidth = 15;
inline constexpr std::size_t TimeWidth = 15;
inline constexpr std::size_t NotesWidth = 755;

// Reserved bytes of entry texts and of the log file.
inline constexpr char FieldSeparator = '\t';
inline constexpr char StoredLineBreak = '\xA0'; // one CR or LF byte of typed notes
inline constexpr char RecordMarker = '\xA1';    // starts a record in the log file

enum LogColumn { DateColumn = 0, DistanceColumn = 1, TimeColumn = 2, NotesColumn = 3, ColumnCount = 4 };

// One run: four single-byte texts in Windows-1252, exactly as they stand in the file.
struct LogEntry {
    std::string Date;
    std::string Distance;
    std::string Time;
    std::string Notes;

    const std::string &Field(int column) const;
    bool operator==(const LogEntry &) const = default;
};

} // namespace pq
