#pragma once

#include <chrono>
#include <string>

namespace pq {

// The exclusive advisory lock (flock) that every read-change-write of a log holds: pquil's commands that rewrite
// a log and the window's save. It is taken on the folder that holds the log (the file its links lead to) rather
// than on the log, which a save replaces by renaming a new file over it: the folder stays the same, so every writer
// meets the same lock, and no lock file is left for a sync tool to copy. The system releases the lock of a process
// that dies; the lock is released when the object goes.
class LogLock {
public:
    static constexpr std::chrono::milliseconds DefaultWait{30000};

    explicit LogLock(std::string logPath);
    LogLock(const LogLock &) = delete;
    LogLock &operator=(const LogLock &) = delete;
    ~LogLock();

    // Waits up to `wait` while another process holds the lock. False, with Error naming the log, when the wait ran
    // out or the lock failed. A folder that cannot be opened to lock (one the user may not list) or a file system
    // without locks leaves the log to be written unlocked: true.
    bool Acquire(std::chrono::milliseconds wait = DefaultWait);
    const std::string &Error() const { return Failure; }

private:
    std::string Path;
    int Fd = -1;
    std::string Failure;
};

} // namespace pq
