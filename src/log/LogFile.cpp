#include "log/LogFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pq {

namespace {

constexpr char CarriageReturn = '\r';
constexpr char LineFeed = '\n';
constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t ChunkLimit = ChunkBufferSize - 1;
constexpr std::string_view OldCentury = "19";
constexpr std::string_view NewCentury = "20";
constexpr std::size_t CenturyLength = 2;
// Records of older logs whose first byte lies in this range are dated 1980 to 1999, the rest 2000 to 2079.
constexpr unsigned char OldCenturyFirst = 0x38;
constexpr unsigned char OldCenturyLast = 0x7F;
constexpr char NoDateInitial = 'N';
constexpr std::string_view TempSuffix = ".XXXXXX";
constexpr mode_t NewFileMode = 0666;
constexpr mode_t PermissionBits = 07777;
constexpr std::string_view NotRegularFile = "Not a regular file";
constexpr std::size_t ReadStep = std::size_t{1} << 16;
// Spare row room beyond the records read (an eighth more, and a few for a short log), so that adding a few entries
// to a big log does not make the row vector double while holding both copies.
constexpr std::size_t SpareRowsDivisor = 8;
constexpr std::size_t SpareRowsMinimum = 16;

std::string DescribeFailure(const std::string &path, int error) {
    return path + ": " + std::strerror(error);
}

bool IsLineBreakByte(char byte) {
    return byte == CarriageReturn || byte == LineFeed;
}

// Turns one chunk of a log file into a row, or nothing for the header line and for empty chunks. The returned
// text points either into the chunk or, when the chunk had to be rewritten, into buffer.
bool ChunkToRow(std::string_view chunk, bool &oldFormat, std::string &buffer, std::string_view &row) {
    const std::size_t asRead = chunk.size();
    if (asRead >= LineEnd.size() && chunk.ends_with(LineEnd)) {
        chunk.remove_suffix(LineEnd.size());
    }
    if (chunk == LogHeader) {
        oldFormat = false;
        return false;
    }
    if (chunk.empty()) {
        return false;
    }
    // The last two bytes as read are never line breaks of the record's text, even when they are not CR LF.
    const std::size_t breakable = asRead >= LineEnd.size() ? std::min(asRead - LineEnd.size(), chunk.size()) : 0;
    const bool hasBreak =
        std::any_of(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(breakable), IsLineBreakByte);
    const bool addCentury = oldFormat && chunk.front() != NoDateInitial;
    if (!hasBreak && !addCentury) {
        row = chunk;
        return true;
    }
    buffer.clear();
    if (addCentury) {
        const auto first = static_cast<unsigned char>(chunk.front());
        buffer.append(first >= OldCenturyFirst && first <= OldCenturyLast ? OldCentury : NewCentury);
    }
    const std::size_t start = buffer.size();
    buffer.append(chunk);
    std::replace_if(buffer.begin() + static_cast<std::ptrdiff_t>(start),
                    buffer.begin() + static_cast<std::ptrdiff_t>(start + breakable), IsLineBreakByte, StoredLineBreak);
    row = buffer;
    return true;
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

} // namespace

void ReadLogBytes(std::string_view bytes, LogList &list) {
    list.ClearRows();
    const auto records = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), RecordMarker));
    list.Reserve(records + 1 + records / SpareRowsDivisor + SpareRowsMinimum,
                 bytes.size() + CenturyLength * (records + 1));

    std::string buffer;
    buffer.reserve(ChunkBufferSize + CenturyLength);
    bool oldFormat = true;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t window = std::min(ChunkLimit, bytes.size() - pos);
        const char *start = bytes.data() + pos;
        const auto *marker = static_cast<const char *>(std::memchr(start, RecordMarker, window));
        std::string_view chunk;
        if (marker != nullptr) {
            chunk = std::string_view(start, static_cast<std::size_t>(marker - start));
            pos += chunk.size() + 1;
        } else {
            chunk = std::string_view(start, window);
            pos += window;
        }
        // A NUL ends the text of its chunk; the bytes after it were still read as part of that chunk.
        if (const void *nul = std::memchr(chunk.data(), '\0', chunk.size()); nul != nullptr) {
            chunk = chunk.substr(0, static_cast<std::size_t>(static_cast<const char *>(nul) - chunk.data()));
        }
        std::string_view row;
        if (ChunkToRow(chunk, oldFormat, buffer, row)) {
            list.AppendRow(row);
        }
    }
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

LoadResult LoadLog(const std::string &path, LogList &list) {
    std::string bytes;
    std::string error;
    bool missing = false;
    if (!ReadWholeFile(path, bytes, error, missing)) {
        if (missing) {
            list.ClearRows();
            return {LoadStatus::Missing, {}};
        }
        return {LoadStatus::Unreadable, error};
    }
    ReadLogBytes(bytes, list);
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
