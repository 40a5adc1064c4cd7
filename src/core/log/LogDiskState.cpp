#include "log/LogDiskState.h"

#include <cstring>
#include <memory>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "log/LogFile.h"

namespace pq {

namespace {

constexpr std::int64_t NanosecondsPerSecond = 1000000000;
constexpr std::size_t HashBlockSize = std::size_t{1} << 20;
// FNV-1a taken a word at a time: each step is a bijection of the hash for a given word, so two files of one size
// that differ anywhere never hash alike. Blocks fed one after the other hash as the whole does as long as every
// block but the last holds whole words.
constexpr std::size_t HashStart = 14695981039346656037ULL;
constexpr std::size_t HashPrime = 1099511628211ULL;

std::size_t HashBytes(std::size_t hash, std::string_view bytes) {
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= bytes.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof(word));
        hash = (hash ^ word) * HashPrime;
    }
    for (; i < bytes.size(); ++i) {
        hash = (hash ^ static_cast<unsigned char>(bytes[i])) * HashPrime;
    }
    return hash;
}

// Fills the block unless the file ends first: the count read, or -1.
ssize_t ReadBlock(int fd, char *block, std::size_t size) {
    std::size_t used = 0;
    while (used < size) {
        const ssize_t got = ReadSome(fd, block + used, size - used);
        if (got < 0) {
            return got;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(used);
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
    while ((got = ReadBlock(fd, block.get(), HashBlockSize)) > 0) {
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
