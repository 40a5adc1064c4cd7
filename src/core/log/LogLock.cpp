#include "log/LogLock.h"

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "log/AtomicFile.h"

namespace pq {

namespace {

// How often a held lock is tried again: short beside a save, long beside the cost of a try.
constexpr std::chrono::milliseconds RetryInterval{10};

} // namespace

LogLock::LogLock(std::string logPath) : Path(std::move(logPath)) {}

LogLock::~LogLock() {
    if (Fd >= 0) {
        ::close(Fd); // releases the lock
    }
}

bool LogLock::Acquire(std::chrono::milliseconds wait) {
    if (Fd >= 0) {
        return true;
    }
    const std::string folder = AtomicFile::TargetFolder(Path);
    Fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd < 0) {
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(Fd, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error != EWOULDBLOCK) {
            // No locks on this file system (or on folders there): write as before locks existed.
            if (error == ENOLCK || error == EBADF || error == EOPNOTSUPP || error == ENOSYS) {
                return true;
            }
            Failure = Path + ": cannot lock the folder " + folder + ": " + std::strerror(error);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            Failure = Path + ": another program kept the log locked for " +
                      std::to_string(std::chrono::duration_cast<std::chrono::seconds>(wait).count()) +
                      " s; nothing was written";
            break;
        }
        std::this_thread::sleep_for(RetryInterval);
    }
    ::close(Fd);
    Fd = -1;
    return false;
}

} // namespace pq
