#include "cli/LogFiles.h"

#include <filesystem>
#include <system_error>

#include "cli/CliError.h"
#include "cli/OutputBuffer.h"
#include "log/LogFile.h"

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

LogList ReadLogFile(const std::string &path, OutputBuffer &err) {
    LogList list;
    if (!ReadLogBytes(ReadInputFile(path), list)) {
        err.Append("pquil: warning: " + path +
                   ": does not look like a Pacequill log (it starts with neither the header line nor a record "
                   "marker); read as one anyway");
        err.EndLine();
    }
    return list;
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
