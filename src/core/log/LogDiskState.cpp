#include "log/LogDiskState.h"

#include <memory>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "log/LogFile.h"

namespace pq {

namespace {

constexpr std::int64_t NanosecondsPerSecond = 1000000000;
constexpr std::size_t HashBlockSize = std::size_t{1} << 20;
// FNV-1a, which takes the bytes a block at a time and gives the same hash however they are divided.
constexpr std::size_t HashStart = 14695981039346656037ULL;
constexpr std::size_t HashPrime = 1099511628211ULL;

std::size_t HashBytes(std::size_t hash, std::string_view bytes) {
    for (const char byte : bytes) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * HashPrime;
    }
    return hash;
}

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
    std::size_t hash = HashStart;
    ssize_t got = 0;
    while ((got = ReadSome(fd, block.get(), HashBlockSize)) > 0) {
        hash = HashBytes(hash, std::string_view(block.get(), static_cast<std::size_t>(got)));
    }
    ::close(fd);
    state.Hash = got == 0 ? hash : 0;
    return state;
}

bool ReadLogWithState(const std::string &path, LogList &rows, LogDiskState &state, std::string &error) {
    // The identity before the read: a change during the read then shows as a change at the next look.
    state = StatLog(path);
    std::string bytes;
    bool missing = false;
    if (!ReadWholeFile(path, bytes, error, missing)) {
        if (!missing) {
            return false;
        }
        state = {};
        rows.ClearRows();
        return true;
    }
    state.Hash = HashBytes(HashStart, bytes);
    ReadLogBytes(bytes, rows);
    return true;
}

} // namespace pq
