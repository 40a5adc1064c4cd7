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
#include "log/LogFile.h"
#include "log/LogReader.h"

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

} // namespace

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
