#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "log/LogList.h"

namespace pq {

// A log file as it stood on disk when it was last read or written here, to tell whether another program has
// changed, replaced or removed it since.
struct LogDiskState {
    bool Exists = false;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::size_t Hash = 0; // of the bytes; 0 when only the file's identity was looked at

    // The same file, untouched as far as the system tells: device, inode, size and modification time.
    bool SameIdentity(const LogDiskState &other) const;
};

// The identity of the file at the path now (links followed); Exists false when there is none.
LogDiskState StatLog(const std::string &path);

// The identity and the hash of the bytes of the file at the path, read in blocks. A file that cannot be read
// gives its identity with no hash, which no later look matches.
LogDiskState HashLog(const std::string &path);

// Reads the log whole: its rows and its state with the hash of its bytes. A missing file gives no rows and a
// state that does not exist. False, with the path and the cause in error, when the file cannot be read.
bool ReadLogWithState(const std::string &path, LogList &rows, LogDiskState &state, std::string &error);

} // namespace pq
