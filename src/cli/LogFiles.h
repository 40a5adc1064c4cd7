#pragma once

#include <string>

#include "insight/LogProfile.h"
#include "log/LogList.h"
#include "log/LogScan.h"

namespace pq::cli {

class OutputBuffer;

// A file's bytes; throws a CliError naming the path and the cause when it cannot be read.
std::string ReadInputFile(const std::string &path);

// The rows of a log file of any layout (older headerless ones too). A file that does not start as a log does is
// read the same way, with a warning on err, since its rows are likely junk.
LogList ReadLogFile(const std::string &path, OutputBuffer &err);

// The profile beside a log, each line it could not read reported on err with its number and the reason. A
// profile that exists but cannot be read is left to the caller: the profile's Error says why.
LogProfile ReadProfileOf(const std::string &logPath, OutputBuffer &err);

// Refuses (usage error, nothing written) an existing output file that is not empty and does not start as a log
// does: a recording or a CSV file named where the log belongs would be replaced by a log.
void RefuseNonLogOutput(const std::string &path);

// The rows of a log that is read to be written again (an import adding to it, a merge); a file that does not
// start as a log does is refused. A row holding a text that the log format would cut
// is refused with the line of its record, unless cut is set: then the rows are kept whole for the writer to cut,
// with a warning that says how many.
LogList ReadLogToRewrite(const std::string &path, bool cut, OutputBuffer &err);

// Hands the rows of a log file to sinks as ScanLogFile does, in up to `parts` parts read at once, with the same
// warning as ReadLogFile for a file that does not start as a log does; throws a CliError naming the path and the
// cause when the file cannot be read. Returns the number of parts used.
std::size_t ScanInputLog(const std::string &path, const PartSinks &sinks, std::size_t parts, OutputBuffer &err);

// Hands the rows of a log file to one sink in file order, as they are read.
void ScanInputLog(const std::string &path, RowSink &sink, OutputBuffer &err);

// How many parts a big file is best read in: one per core.
std::size_t ReadingThreads();

// Refuses an output path that names the input file (through any link) or, without force, any existing file.
void CheckOutputPath(const std::string &inputPath, const std::string &outputPath, bool force);

// Writes the log as a save does, record by record and atomically: a failure leaves any earlier file at the path as
// it was.
void WriteOutputLog(const std::string &path, const LogList &list);

} // namespace pq::cli
