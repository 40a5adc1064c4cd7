#include "cli/LogFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

#include <unistd.h>

#include "cli/CliError.h"
#include "cli/OutputBuffer.h"
#include "log/LogColumns.h"
#include "log/LogFile.h"
#include "log/LogReader.h"
#include "log/ProfileFile.h"
#include "log/RowSink.h"

namespace pq::cli {

std::string ReadInputFile(const std::string &path) {
    std::string bytes;
    std::string error;
    bool missing = false;
    if (!ReadWholeFile(path, bytes, error, missing)) {
        throw CliError(ExitFailure, error);
    }
    return bytes;
}

LogProfile ReadProfileOf(const std::string &logPath, OutputBuffer &err) {
    LogProfile profile = ReadLogProfile(logPath);
    const std::string path = ProfilePath(logPath);
    for (const ProfileProblem &problem : profile.Problems) {
        err.Append("pquil: ");
        err.Append(ProblemText(path, problem));
        err.EndLine();
    }
    return profile;
}

namespace {

void WarnNotALog(const std::string &path, OutputBuffer &err) {
    err.Append("pquil: warning: " + path +
               ": does not look like a Pacequill log (it starts with neither the header line nor a record "
               "marker); read as one anyway");
    err.EndLine();
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : Fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() {
        if (Fd >= 0) {
            ::close(Fd);
        }
    }
    int Get() const { return Fd; }

private:
    int Fd;
};

// The first bytes of an open file, as many as LooksLikeLog needs, read without moving the file's offset.
std::string FileStart(int fd, const std::string &path) {
    std::string start(LogStartSize, '\0');
    for (;;) {
        const ssize_t got = ::pread(fd, start.data(), start.size(), 0);
        if (got >= 0) {
            start.resize(static_cast<std::size_t>(got));
            return start;
        }
        if (errno != EINTR) {
            throw CliError(ExitFailure, path + ": " + std::strerror(errno));
        }
    }
}

// Counts the rows it is handed.
class RowCounter : public RowSink {
public:
    void TakeRow(std::string_view) override { ++Rows; }
    int Rows = 0;
};

// The line of the file on which the record of a row (counted from 0) starts. The bytes are fed up to each record
// marker in turn, so the rows that come out of one piece belong to the record begun at the marker before it.
std::size_t LineOfRow(std::string_view bytes, int row) {
    RowCounter counter;
    LogReader reader(counter);
    std::size_t line = 1;
    std::size_t recordLine = 1;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t marker = bytes.find(RecordMarker, pos);
        const std::size_t end = marker == std::string_view::npos ? bytes.size() : marker + 1;
        const std::string_view piece = bytes.substr(pos, end - pos);
        reader.Feed(piece);
        if (counter.Rows > row) {
            return recordLine;
        }
        line += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n'));
        if (marker != std::string_view::npos) {
            recordLine = line;
        }
        pos = end;
    }
    return recordLine;
}

// Rows holding a text longer than its field: how many, and the first.
std::size_t CountCutRows(const LogList &list, int &first) {
    std::size_t cut = 0;
    for (int row = 0; row < list.RowCount(); ++row) {
        for (int column = 0; column < ColumnCount; ++column) {
            if (list.Text(row, column).size() > FieldWidths[column]) {
                first = cut == 0 ? row : first;
                ++cut;
                break;
            }
        }
    }
    return cut;
}

} // namespace

void RefuseNonLogOutput(const std::string &path) {
    int error = 0;
    std::string cause;
    const Descriptor file(OpenRegularFile(path, error, cause));
    // A missing file is made; one that cannot be opened is left to the writer, which reports why.
    if (file.Get() >= 0 && !LooksLikeLog(FileStart(file.Get(), path))) {
        throw CliError(ExitUsage, path + ": OUT does not look like a Pacequill log: nothing was written");
    }
}

LogList ReadLogToRewrite(const std::string &path, bool cut, OutputBuffer &err) {
    const std::string bytes = ReadInputFile(path);
    LogList list;
    if (!ReadLogBytes(bytes, list)) {
        throw CliError(ExitUsage, path + ": does not look like a Pacequill log: nothing was written");
    }
    int first = 0;
    const std::size_t cutRows = CountCutRows(list, first);
    if (cutRows > 0) {
        const std::string line = std::to_string(LineOfRow(bytes, first));
        if (!cut) {
            throw CliError(ExitFailure, path + ":" + line +
                                            ": a row holds a text longer than a log field, which writing the log "
                                            "would cut; nothing was written (--force cuts it)");
        }
        err.Append("pquil: warning: " + path + ": " + std::to_string(cutRows) +
                   " row(s) held texts longer than a log field, cut as a save cuts them (the first is on line " + line +
                   ")");
        err.EndLine();
    }
    return list;
}

LogList ReadLogFile(const std::string &path, OutputBuffer &err) {
    LogList list;
    if (!ReadLogBytes(ReadInputFile(path), list)) {
        WarnNotALog(path, err);
    }
    return list;
}

std::size_t ScanInputLog(const std::string &path, const PartSinks &sinks, std::size_t parts, OutputBuffer &err) {
    std::string error;
    const Descriptor file(OpenLogForReading(path, error));
    if (file.Get() < 0) {
        throw CliError(ExitFailure, error);
    }
    if (!LooksLikeLog(FileStart(file.Get(), path))) {
        WarnNotALog(path, err);
    }
    const ScanResult result = ScanLogFile(file.Get(), sinks, parts);
    if (result.Error != 0) {
        throw CliError(ExitFailure, path + ": " + std::strerror(result.Error));
    }
    return result.Parts;
}

void ScanInputLog(const std::string &path, RowSink &sink, OutputBuffer &err) {
    ScanInputLog(
        path, [&sink](std::size_t) -> RowSink & { return sink; }, 1, err);
}

std::size_t ReadingThreads() {
    return std::max(1U, std::thread::hardware_concurrency());
}

void CheckOutputPath(const std::string &inputPath, const std::string &outputPath, bool force) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(inputPath, outputPath, error)) {
        throw CliError(ExitFailure, outputPath + ": is the input file; the input is never overwritten");
    }
    const bool exists = fs::exists(fs::symlink_status(outputPath, error));
    if (exists && !force) {
        throw CliError(ExitFailure, outputPath + ": file exists (use --force to replace it)");
    }
}

void WriteOutputLog(const std::string &path, const LogList &list) {
    const WriteResult result = WriteLog(list, path);
    if (!result.Ok) {
        throw CliError(ExitFailure, result.Error);
    }
}

} // namespace pq::cli
