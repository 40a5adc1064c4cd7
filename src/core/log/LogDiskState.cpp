#include "log/LogDiskState.h"

#include <memory>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "log/ByteHash.h"
#include "log/LogFile.h"

namespace pq {

namespace {

constexpr std::int64_t NanosecondsPerSecond = 1000000000;
constexpr std::size_t HashBlockSize = std::size_t{1} << 20;

LogDiskState FromStat(const struct stat &info) {
    LogDiskState state;
    state.Exists = true;
    state.Device = info.st_dev;
    state.Inode = info.st_ino;
    state.Size = static_cast<std::uint64_t>(info.st_size);
    state.ModifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * NanosecondsPerSecond + info.st_mtim.tv_nsec;
    return state;
}

} // namespace

bool LogDiskState::SameIdentity(const LogDiskState &other) const {
    return Exists == other.Exists && Device == other.Device && Inode == other.Inode && Size == other.Size &&
           ModifiedNs == other.ModifiedNs;
}

LogDiskState StatLog(const std::string &path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? FromStat(info) : LogDiskState{};
}

LogDiskState HashLog(const std::string &path) {
    LogDiskState state = StatLog(path);
    int error = 0;
    std::string cause;
    const int fd = OpenRegularFile(path, error, cause);
    if (fd < 0) {
        return state;
    }
    const auto block = std::make_unique_for_overwrite<char[]>(HashBlockSize);
    ByteHash hash;
    ssize_t got = 0;
    while ((got = ReadSome(fd, block.get(), HashBlockSize)) > 0) {
        hash.Feed(std::string_view(block.get(), static_cast<std::size_t>(got)));
    }
    ::close(fd);
    state.Hash = got == 0 ? hash.Value() : 0;
    return state;
}

bool ReadLogWithState(const std::string &path, LogList &rows, LogDiskState &state, std::string &error) {
    // The identity before the read: a change during the read then shows as a change at the next look.
    state = StatLog(path);
    const LoadResult result = LoadLog(path, rows);
    switch (result.Status) {
    case LoadStatus::Unreadable:
        error = result.Error;
        return false;
    case LoadStatus::Missing:
        state = {};
        return true;
    case LoadStatus::Loaded:
        break;
    }
    state.Hash = result.Hash;
    rows.ClearSelection();
    return true;
}

} // namespace pq
