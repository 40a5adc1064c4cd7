#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "log/LogList.h"
#include "log/LogReader.h"

namespace pq {

// LoadLog reads the file in blocks of this size, so it never holds more of the file than one block.
inline constexpr std::size_t LoadBlockSize = std::size_t{1} << 20;

// Replaces the list's rows with the records of a log file's bytes (current or older layout). Selects nothing.
void ReadLogBytes(std::string_view bytes, LogList &list);

// The bytes WriteLog puts in the file: header, CR LF, then one record per row.
std::string LogBytes(const LogList &list);

enum class LoadStatus {
    Loaded,    // the file was read
    Missing,   // no file by that name: an empty log under that name
    Unreadable // the file exists but could not be read; the list is untouched
};

struct LoadResult {
    LoadStatus Status = LoadStatus::Loaded;
    std::string Error; // for Unreadable: the path and the cause
};

// Reads the file into the list and selects its last row. On Missing the list is emptied; on Unreadable the
// list is left as it was. The file is read in blocks of blockSize bytes; the rows do not depend on it.
LoadResult LoadLog(const std::string &path, LogList &list, std::size_t blockSize = LoadBlockSize);

struct WriteResult {
    bool Ok = true;
    std::string Error; // the path and the cause
};

// Writes atomically: a temporary file beside the log, flushed and synced, then renamed over it. On failure the
// old file stays as it was.
WriteResult WriteLog(const LogList &list, const std::string &path);

// The atomic write under WriteLog, for any bytes.
WriteResult WriteFileAtomically(const std::string &path, std::string_view bytes);

// Reads a whole file; false with the path and the cause in error when it cannot. missing is set when the file
// does not exist.
bool ReadWholeFile(const std::string &path, std::string &bytes, std::string &error, bool &missing);

} // namespace pq
