#include "log/LogFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "log/AtomicFile.h"
#include "log/ByteHash.h"
#include "log/LogFileWriter.h"
#include "log/LogScan.h"

namespace pq {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view NotRegularFile = "not a regular file";
constexpr std::string_view NotEnoughMemory = "not enough memory";
constexpr std::size_t ReadStep = std::size_t{1} << 16;
// How many rows the loader hands the list at once.
constexpr std::size_t SinkBatchRows = 64;
// The bytes at the start of a file whose rows tell how many the whole file holds, and the share of rows added to
// that guess: a list that has to grow past it copies its rows.
constexpr std::size_t RowEstimateSample = std::size_t{64} << 10;
constexpr double RowEstimateSpare = 1.125;
// The guess never counts rows shorter than this (a dated record is longer), so that a start of tiny rows does not
// have the list reserve far more than the file can hold; a list that holds more grows as it must.
constexpr std::size_t RowEstimateShortestRow = 24;

std::string DescribeFailure(const std::string &path, int error) {
    return path + ": " + std::strerror(error);
}

std::string DescribeFailure(const std::string &path, std::string_view cause) {
    return path + ": " + std::string(cause);
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

} // namespace

int OpenRegularFile(const std::string &path, int &error, std::string &cause) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    // NOLINTNEXTLINE(bugprone-branch-clone): each step that fails reports through errno, so the steps stay in order
    if (fd < 0) {
        error = errno;
    } else if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        error = 0;
        cause = NotRegularFile;
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        error = errno;
    } else {
        return fd;
    }
    if (cause.empty()) {
        cause = std::strerror(error);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return -1;
}

ssize_t ReadSome(int fd, char *data, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, data, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

ssize_t ReadSomeAt(int fd, char *data, std::size_t size, off_t offset) {
    for (;;) {
        const ssize_t got = ::pread(fd, data, size, offset);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

namespace {

// Appends the rows to a list a batch at a time (AppendRows), keeping a copy of each row's text until its batch goes.
class ListSink : public RowSink {
public:
    LogList List;
    void TakeRow(std::string_view rowText) override {
        Batch.append(rowText);
        Ends.push_back(Batch.size());
        if (Ends.size() == SinkBatchRows) {
            Flush();
        }
    }
    void Flush() {
        std::string_view rows[SinkBatchRows];
        std::size_t start = 0;
        for (std::size_t i = 0; i < Ends.size(); ++i) {
            rows[i] = std::string_view(Batch).substr(start, Ends[i] - start);
            start = Ends[i];
        }
        List.AppendRows(std::span<const std::string_view>(rows, Ends.size()));
        Batch.clear();
        Ends.clear();
    }
    void Clear() {
        List.ClearRows();
        Batch.clear();
        Ends.clear();
    }

private:
    std::string Batch;
    std::vector<std::size_t> Ends;
};

// What the start of a file tells before it is read: whether it looks like a log, and about how many rows it holds,
// enough to size the list at once. (Counting the record markers of the whole file would take a pass of its own.)
struct FileStart {
    std::string Start; // the first bytes, as many as LooksLikeLog needs
    std::size_t Rows = 0;
};

int ProbeStart(int fd, FileStart &probe) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return errno;
    }
    std::string sample(RowEstimateSample, '\0');
    const ssize_t got = ReadSomeAt(fd, sample.data(), sample.size(), 0);
    if (got < 0) {
        return errno;
    }
    sample.resize(static_cast<std::size_t>(got));
    probe.Start = sample.substr(0, LogStartSize);
    const auto markers = static_cast<std::size_t>(std::count(sample.begin(), sample.end(), RecordMarker));
    const auto size = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
    if (sample.size() >= size || sample.empty()) {
        probe.Rows = markers;
    } else {
        // The rows of the sample, scaled to the whole file, with some to spare for longer rows later on.
        const double rows = static_cast<double>(markers) * static_cast<double>(size) / static_cast<double>(got);
        probe.Rows = std::min(static_cast<std::size_t>(rows * RowEstimateSpare), size / RowEstimateShortestRow);
    }
    return 0;
}

// Reads the open file into the list, a big one in parts at once whose rows are then joined in file order: 0, or
// the error that stopped it.
int ParseFile(int fd, LogList &list, std::size_t blockSize, std::size_t parallelMinimum, LoadResult &result) {
    blockSize = std::max(blockSize, std::size_t{1}); // a read of no bytes would look like the end of the file
    FileStart probe;
    ByteHash hash;
    if (const int failure = ProbeStart(fd, probe); failure != 0) {
        return failure;
    }
    std::vector<ListSink> parts(std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, LoadParts));
    const ScanResult scan = ScanLogFile(
        fd,
        [&parts, &probe](std::size_t part) -> RowSink & {
            parts[part].Clear();
            // The first part's list takes every row in the end; the others about their share.
            parts[part].List.Reserve(LogReader::RowsToReserve(part == 0 ? probe.Rows : probe.Rows / parts.size()), 0);
            return parts[part];
        },
        parts.size(), blockSize, parallelMinimum, &hash);
    if (scan.Error != 0) {
        return scan.Error;
    }
    for (std::size_t part = 0; part < scan.Parts; ++part) {
        parts[part].Flush();
    }
    for (std::size_t part = 1; part < scan.Parts; ++part) {
        parts.front().List.AppendList(parts[part].List, parts.size());
        parts[part].List.ClearRows();
    }
    list = std::move(parts.front().List);
    result.LooksLikeLog = LooksLikeLog(probe.Start);
    result.Hash = hash.Value();
    return 0;
}

} // namespace

bool ReadLogBytes(std::string_view bytes, LogList &list) {
    list.ClearRows();
    LogReader reader(list);
    reader.Reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), RecordMarker)), bytes.size());
    reader.Feed(bytes);
    reader.Finish();
    return reader.StartsLikeLog();
}

void AppendLogHeader(std::string &out) {
    out.append(LogHeader).append(LineEnd);
}

RecordTexts TextsOfRow(const LogList &list, int row) {
    return {list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn),
            list.Text(row, NotesColumn)};
}

RecordTexts TextsOfEntry(const LogEntry &entry) {
    return {entry.Date, entry.Distance, entry.Time, entry.Notes};
}

void AppendLogRecord(std::string &out, const RecordTexts &texts) {
    out.push_back(RecordMarker);
    out.append(texts[DateColumn].substr(0, DateWidth)).push_back(FieldSeparator);
    out.append(texts[DistanceColumn].substr(0, DistanceWidth)).push_back(FieldSeparator);
    out.append(texts[TimeColumn].substr(0, TimeWidth)).push_back(FieldSeparator);
    AppendNotes(out, texts[NotesColumn].substr(0, NotesWidth));
    out.append(LineEnd);
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
    AppendLogHeader(out);
    for (int i = 0; i < list.RowCount(); ++i) {
        AppendLogRecord(out, TextsOfRow(list, i));
    }
    return out;
}

LoadResult LoadLog(const std::string &path, LogList &list, std::size_t blockSize, std::size_t parallelMinimum) {
    int error = 0;
    std::string cause;
    const int fd = OpenRegularFile(path, error, cause);
    if (fd < 0) {
        if (error == ENOENT) {
            list.ClearRows();
            return {LoadStatus::Missing, {}};
        }
        return {LoadStatus::Unreadable, DescribeFailure(path, cause)};
    }
    // The rows go to a list of their own, so that a failed read leaves the caller's list as it was.
    LogList loaded;
    LoadResult result;
    int failure = 0;
    try {
        failure = ParseFile(fd, loaded, blockSize, parallelMinimum, result);
    } catch (const std::bad_alloc &) {
        failure = ENOMEM;
    }
    ::close(fd);
    if (failure != 0) {
        return {LoadStatus::Unreadable,
                failure == ENOMEM ? DescribeFailure(path, NotEnoughMemory) : DescribeFailure(path, failure)};
    }
    list = std::move(loaded);
    if (list.RowCount() > 0) {
        list.Select(list.RowCount() - 1);
    }
    return result;
}

WriteResult WriteLog(const LogList &list, const std::string &path) {
    LogFileWriter writer(path);
    bool written = writer.Open();
    for (int i = 0; written && i < list.RowCount(); ++i) {
        written = writer.Append(TextsOfRow(list, i));
    }
    if (!written || !writer.Commit()) {
        return {false, writer.Error()};
    }
    return {true, {}};
}

WriteResult WriteFileAtomically(const std::string &path, std::string_view bytes) {
    AtomicFile file(path);
    if (!file.Open() || !file.Write(bytes) || !file.Commit()) {
        return {false, file.Error()};
    }
    return {true, {}};
}

bool ReadWholeFile(const std::string &path, std::string &bytes, std::string &error, bool &missing) {
    missing = false;
    bytes.clear();
    int failure = 0;
    std::string cause;
    const int fd = OpenRegularFile(path, failure, cause);
    if (fd < 0) {
        missing = failure == ENOENT;
        error = DescribeFailure(path, cause);
        return false;
    }
    struct stat info {};
    try {
        if (::fstat(fd, &info) != 0) {
            failure = errno;
        } else {
            // One byte beyond the reported size lets the read that finds the end go without growing the buffer.
            bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
            // Read until the end rather than trusting the size, which may change while the file is read.
            std::size_t used = 0;
            for (;;) {
                if (used == bytes.size()) {
                    bytes.resize(bytes.size() + std::max(ReadStep, bytes.size()));
                }
                const ssize_t got = ReadSome(fd, bytes.data() + used, bytes.size() - used);
                if (got <= 0) {
                    failure = got < 0 ? errno : 0;
                    break;
                }
                used += static_cast<std::size_t>(got);
            }
            bytes.resize(used);
        }
    } catch (const std::bad_alloc &) {
        failure = ENOMEM;
    }
    ::close(fd);
    if (failure != 0) {
        std::string().swap(bytes);
        error = failure == ENOMEM ? DescribeFailure(path, NotEnoughMemory) : DescribeFailure(path, failure);
        return false;
    }
    return true;
}

int OpenLogForReading(const std::string &path, std::string &error) {
    int failure = 0;
    std::string cause;
    const int fd = OpenRegularFile(path, failure, cause);
    if (fd < 0) {
        error = DescribeFailure(path, cause);
    }
    return fd;
}

} // namespace pq
