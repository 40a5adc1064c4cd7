#pragma once

#include <string>
#include <string_view>

#include "log/AtomicFile.h"
#include "log/LogFile.h"

namespace pq {

// Writes a log file record by record, safely as AtomicFile does, holding no more than a small block of it in
// memory: a log of any size costs its writer next to nothing.
class LogFileWriter {
public:
    explicit LogFileWriter(std::string path);

    // Makes the temporary file and writes the header line. Each step answers false once anything has failed;
    // Error then names the path and the cause. Without Commit the file stays as it was.
    bool Open();
    // One record of the four texts, cut to the field widths.
    bool Append(const RecordTexts &texts);
    bool Commit();
    const std::string &Error() const { return File.Error(); }

private:
    bool Flush();

    AtomicFile File;
    std::string Block;
};

} // namespace pq
