#include "log/LogFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pq {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view TempSuffix = ".XXXXXX";
constexpr mode_t NewFileMode = 0666;
constexpr mode_t PermissionBits = 07777;
constexpr std::string_view NotRegularFile = "Not a regular file";
constexpr std::size_t ReadStep = std::size_t{1} << 16;

std::string DescribeFailure(const std::string &path, int error) {
    return path + ": " + std::strerror(error);
}

// Notes with each stored line break (0xA0 0xA0) back as CR LF. A lone 0xA0, such as a typed no-break space,
// is written unchanged: reading maps CR and LF to 0xA0 one for one, so it comes back as it was.
void AppendNotes(std::string &out, std::string_view notes) {
    for (std::size_t pos = 0; pos < notes.size();) {
        const std::size_t mark = notes.find(StoredLineBreak, pos);
        if (mark == std::string_view::npos) {
            out.append(notes.substr(pos));
            return;
        }
        out.append(notes.substr(pos, mark - pos));
        if (mark + 1 < notes.size() && notes[mark + 1] == StoredLineBreak) {
            out.append(LineEnd);
            pos = mark + 2;
        } else {
            out.push_back(StoredLineBreak);
            pos = mark + 1;
        }
    }
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Saving through a symbolic link replaces the file it names, not the link.
std::string ResolveTarget(const std::string &path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
        if (!error) {
            return target.string();
        }
    }
    return path;
}

void SyncDirectory(const std::string &path) {
    std::filesystem::path directory = std::filesystem::path(path).parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // The file itself is already safely in place; a directory that cannot be synced is no failure of the save.
        ::fsync(fd);
        ::close(fd);
    }
}

// Reads up to size bytes, retrying on interruption: the count read (0 at the end), or -1 with errno set.
ssize_t ReadSome(int fd, char *data, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, data, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

// Counts the record markers and bytes of a regular file, then goes back to its start. Reading it twice costs
// little, as the second pass finds it in the page cache, and lets the list take its full size at once.
int CountMarkers(int fd, char *block, std::size_t blockSize, std::size_t &markers, std::size_t &bytes) {
    markers = 0;
    bytes = 0;
    for (;;) {
        const ssize_t got = ReadSome(fd, block, blockSize);
        if (got < 0) {
            return errno;
        }
        if (got == 0) {
            break;
        }
        markers += static_cast<std::size_t>(std::count(block, block + got, RecordMarker));
        bytes += static_cast<std::size_t>(got);
    }
    return ::lseek(fd, 0, SEEK_SET) == 0 ? 0 : errno;
}

// Reads the open file block by block into the list: 0, or the error that stopped it.
int ParseFile(int fd, LogList &list, std::size_t blockSize) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return errno;
    }
    if (S_ISDIR(info.st_mode)) {
        return EISDIR;
    }
    blockSize = std::max(blockSize, std::size_t{1}); // a read of no bytes would look like the end of the file
    const auto block = std::make_unique_for_overwrite<char[]>(blockSize);
    LogReader reader(list);
    // Pipes and devices cannot go back to their start: they are read once, without reserving.
    if (S_ISREG(info.st_mode)) {
        std::size_t markers = 0;
        std::size_t bytes = 0;
        if (const int failure = CountMarkers(fd, block.get(), blockSize, markers, bytes); failure != 0) {
            return failure;
        }
        reader.Reserve(markers, bytes);
    }
    for (;;) {
        const ssize_t got = ReadSome(fd, block.get(), blockSize);
        if (got < 0) {
            return errno;
        }
        if (got == 0) {
            break;
        }
        reader.Feed(std::string_view(block.get(), static_cast<std::size_t>(got)));
    }
    reader.Finish();
    return 0;
}

} // namespace

void ReadLogBytes(std::string_view bytes, LogList &list) {
    list.ClearRows();
    LogReader reader(list);
    reader.Reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), RecordMarker)), bytes.size());
    reader.Feed(bytes);
    reader.Finish();
}

std::string LogBytes(const LogList &list) {
    constexpr std::size_t separators = ColumnCount - 1;
    std::string out;
    std::size_t size = LogHeader.size() + LineEnd.size();
    for (int i = 0; i < list.RowCount(); ++i) {
        size += 1 + separators + LineEnd.size() + std::min(list.Text(i, DateColumn).size(), DateWidth) +
                std::min(list.Text(i, DistanceColumn).size(), DistanceWidth) +
                std::min(list.Text(i, TimeColumn).size(), TimeWidth) +
                std::min(list.Text(i, NotesColumn).size(), NotesWidth);
    }
    out.reserve(size);
    out.append(LogHeader).append(LineEnd);
    for (int i = 0; i < list.RowCount(); ++i) {
        out.push_back(RecordMarker);
        out.append(list.Text(i, DateColumn).substr(0, DateWidth)).push_back(FieldSeparator);
        out.append(list.Text(i, DistanceColumn).substr(0, DistanceWidth)).push_back(FieldSeparator);
        out.append(list.Text(i, TimeColumn).substr(0, TimeWidth)).push_back(FieldSeparator);
        AppendNotes(out, list.Text(i, NotesColumn).substr(0, NotesWidth));
        out.append(LineEnd);
    }
    return out;
}

LoadResult LoadLog(const std::string &path, LogList &list, std::size_t blockSize) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            list.ClearRows();
            return {LoadStatus::Missing, {}};
        }
        return {LoadStatus::Unreadable, DescribeFailure(path, errno)};
    }
    // The rows go to a list of their own, so that a failed read leaves the caller's list as it was.
    LogList loaded;
    const int failure = ParseFile(fd, loaded, blockSize);
    ::close(fd);
    if (failure != 0) {
        return {LoadStatus::Unreadable, DescribeFailure(path, failure)};
    }
    list = std::move(loaded);
    if (list.RowCount() > 0) {
        list.Select(list.RowCount() - 1);
    }
    return {LoadStatus::Loaded, {}};
}

WriteResult WriteLog(const LogList &list, const std::string &path) {
    return WriteFileAtomically(path, LogBytes(list));
}

WriteResult WriteFileAtomically(const std::string &path, std::string_view bytes) {
    const std::string target = ResolveTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // Renaming over a directory or a device would replace it rather than write into it.
    if (exists && S_ISDIR(existing.st_mode)) {
        return {false, DescribeFailure(path, EISDIR)};
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        return {false, path + ": " + std::string(NotRegularFile)};
    }
    const mode_t mode = exists ? existing.st_mode & PermissionBits : NewFileMode & ~CurrentUmask();
    std::string temp = target + std::string(TempSuffix);
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return {false, DescribeFailure(path, errno)};
    }
    int failure = 0;
    if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        failure = errno;
    }
    if (::close(fd) != 0 && failure == 0) {
        failure = errno;
    }
    if (failure == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(temp.c_str());
        return {false, DescribeFailure(path, failure)};
    }
    SyncDirectory(target);
    return {true, {}};
}

bool ReadWholeFile(const std::string &path, std::string &bytes, std::string &error, bool &missing) {
    missing = false;
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        missing = errno == ENOENT;
        error = DescribeFailure(path, errno);
        return false;
    }
    struct stat info {};
    int failure = 0;
    if (::fstat(fd, &info) != 0) {
        failure = errno;
    } else if (S_ISDIR(info.st_mode)) {
        failure = EISDIR;
    } else {
        // One byte beyond the reported size lets the read that finds the end go without growing the buffer.
        const std::size_t expected = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : ReadStep;
        bytes.resize(expected);
        // Read until the end rather than trusting the size, which special files do not report.
        std::size_t used = 0;
        for (;;) {
            if (used == bytes.size()) {
                bytes.resize(bytes.size() + std::max(ReadStep, bytes.size()));
            }
            const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                failure = errno;
                break;
            }
            if (got == 0) {
                break;
            }
            used += static_cast<std::size_t>(got);
        }
        bytes.resize(used);
    }
    ::close(fd);
    if (failure != 0) {
        bytes.clear();
        error = DescribeFailure(path, failure);
        return false;
    }
    return true;
}

} // namespace pq
