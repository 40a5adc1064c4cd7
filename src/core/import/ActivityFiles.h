#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/Activity.h"
#include "import/ActivityReader.h"
#include "import/GzipInflater.h"

namespace pq {

enum class FileFormat { Unknown, Gpx, Tcx, Fit, Csv };

// Files are read in blocks of this size; the format is told from the first block.
inline constexpr std::size_t ActivityBlockSize = std::size_t{1} << 20;

// The format of a file told by its first bytes (not its name): the FIT header's ".FIT", the root element of an
// XML document (gpx, TrainingCenterDatabase; after a document type declaration with an internal subset, and in
// UTF-8 or in UTF-16 with a byte-order mark), or the header line of the CSV that pquil export writes.
FileFormat DetectFormat(std::string_view head);
std::string_view FormatName(FileFormat format);

// The reader of a device format; nullptr for CSV and Unknown, which are not read here.
std::unique_ptr<ActivityReader> MakeActivityReader(FileFormat format);

struct FileActivities {
    FileFormat Format = FileFormat::Unknown;
    std::vector<Activity> Activities;
    std::optional<ReadError> Error; // set when the file could not be read; then there are no activities
    // Read from a file of its own, neither compressed nor in an archive: only such a file is read as CSV.
    bool Plain = true;
};

// The activities of a GPX, TCX or FIT file. A CSV file comes back as its format with neither activities nor an
// error, for the caller to read; any other file is an error.
FileActivities ReadActivityBytes(std::string_view bytes, const std::string &name);
// The same for a file whose bytes come from a source, in blocks; a gzip file (its name ends in ".gz") is inflated.
FileActivities ReadActivityBlocks(const BlockSource &source, const std::string &name);
FileActivities ReadActivityFile(const std::string &path);

// What was read from a compressed file or an archive's member: not plain, and a CSV file there is an error.
FileActivities Enclosed(FileActivities read, const std::string &name);

// True when the name ends in the suffix, in any letter case.
bool HasSuffix(std::string_view name, std::string_view suffix);
inline constexpr std::string_view GzipSuffix = ".gz";

} // namespace pq
