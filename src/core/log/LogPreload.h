#pragma once

#include <string>
#include <thread>

#include "log/LogDiskState.h"
#include "log/LogFile.h"
#include "log/LogList.h"

namespace pq {

// A log file read (LoadLog) on a thread of its own, started before whoever opens it is ready for it: the program
// reads the log its command line names while it builds its window.
class LogPreload {
public:
    // Starts reading the file at the path, with a look at the file's identity just before.
    explicit LogPreload(std::string path);
    LogPreload(const LogPreload &) = delete;
    LogPreload &operator=(const LogPreload &) = delete;
    // Waits for the read when it was not taken.
    ~LogPreload();

    const std::string &Path() const { return File; }
    // Waits for the read and hands over what LoadLog gave, the rows read and the identity before the read. Call
    // once.
    LoadResult Take(LogList &list, LogDiskState &before);

private:
    void Read();

    std::string File;
    LogList Rows;
    LoadResult Result;
    LogDiskState Before;
    std::thread Reader;
};

} // namespace pq
