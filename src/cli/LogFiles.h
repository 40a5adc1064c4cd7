#pragma once

#include <string>

#include "log/LogList.h"

namespace pq::cli {

class OutputBuffer;

// A file's bytes; throws a CliError naming the path and the cause when it cannot be read.
std::string ReadInputFile(const std::string &path);

// The rows of a log file of any layout (older headerless ones too). A file that does not start as a log does is
// read the same way, with a warning on err, since its rows are likely junk.
LogList ReadLogFile(const std::string &path, OutputBuffer &err);

// Refuses an output path that names the input file (through any link) or, without force, any existing file.
void CheckOutputPath(const std::string &inputPath, const std::string &outputPath, bool force);

// Writes the log as a save does, record by record and atomically: a failure leaves any earlier file at the path as
// it was.
void WriteOutputLog(const std::string &path, const LogList &list);

} // namespace pq::cli
