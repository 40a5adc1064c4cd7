#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include <sys/types.h>

#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/LogReader.h"

namespace pq {

// LoadLog reads the file in blocks of this size, so it never holds more of the file than one block.
inline constexpr std::size_t LoadBlockSize = std::size_t{1} << 20;
// A regular file smaller than this is read on one thread: a second one would cost more than it saves.
inline constexpr std::size_t ParallelScanMinimum = std::size_t{1} << 20;
// How many parts, each on a thread of its own, LoadLog reads a big file in.
inline constexpr std::size_t LoadParts = 2;

// Replaces the list's rows with the records of a log file's bytes (current or older layout). Selects nothing.
// Answers whether the bytes look like a log at all (LooksLikeLog); they are read either way.
bool ReadLogBytes(std::string_view bytes, LogList &list);

// The bytes WriteLog puts in the file: header, CR LF, then one record per row.
std::string LogBytes(const LogList &list);
// The four texts of a record, by column.
using RecordTexts = std::array<std::string_view, ColumnCount>;
RecordTexts TextsOfRow(const LogList &list, int row);
RecordTexts TextsOfEntry(const LogEntry &entry);

// The pieces of those bytes, for writers that stream them: the header line, and one record with its texts cut to
// the field widths.
void AppendLogHeader(std::string &out);
void AppendLogRecord(std::string &out, const RecordTexts &texts);

enum class LoadStatus {
    Loaded,    // the file was read
    Missing,   // no file by that name: an empty log under that name
    Unreadable // the file exists but could not be read (or is no regular file); the list is untouched
};

struct LoadResult {
    LoadStatus Status = LoadStatus::Loaded;
    std::string Error;        // for Unreadable: the path and the cause
    bool LooksLikeLog = true; // for Loaded: false when the file starts as no log does (LooksLikeLog)
    std::size_t Hash = 0;     // for Loaded: the hash of the file's bytes (ByteHash), as HashLog gives it
};

// Reads the file into the list and selects its last row. On Missing the list is emptied; on Unreadable the
// list is left as it was. The file is read in blocks of blockSize bytes, and one of at least parallelMinimum
// bytes in LoadParts parts at once; the rows depend on neither.
LoadResult LoadLog(const std::string &path, LogList &list, std::size_t blockSize = LoadBlockSize,
                   std::size_t parallelMinimum = ParallelScanMinimum);

struct WriteResult {
    bool Ok = true;
    std::string Error; // the path and the cause
};

// Writes atomically (see AtomicFile); on failure the old file stays as it was.
WriteResult WriteLog(const LogList &list, const std::string &path);

// The atomic write under WriteLog, for any bytes.
WriteResult WriteFileAtomically(const std::string &path, std::string_view bytes);

// Reads a whole regular file; false with the path and the cause in error when it cannot (a pipe or a device is
// refused unread). missing is set when the file does not exist.
bool ReadWholeFile(const std::string &path, std::string &bytes, std::string &error, bool &missing);

// Opens a file for reading without waiting on a pipe or a device, and refuses anything but a regular file (a
// directory with the system's own cause). The descriptor then blocks as usual. On failure: -1, with the system's
// error (0 when the file is not a regular one) and the cause.
int OpenRegularFile(const std::string &path, int &error, std::string &cause);
// Reads up to size bytes, retrying on interruption: the count read (0 at the end), or -1 with errno set.
ssize_t ReadSome(int fd, char *data, std::size_t size);
// The same at an offset, leaving the file's position where it was.
ssize_t ReadSomeAt(int fd, char *data, std::size_t size, off_t offset);

// Opens a regular file for reading without waiting on a pipe or a device: the descriptor, or -1 with the path and
// the cause in error.
int OpenLogForReading(const std::string &path, std::string &error);

} // namespace pq
