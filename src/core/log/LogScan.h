#pragma once

#include <cstddef>
#include <functional>

#include "log/ByteHash.h"
#include "log/LogFile.h"
#include "log/RowSink.h"

namespace pq {

// The sink for one part of a file; part 0 starts the file. A part may be asked for again when its rows must be
// read once more (it began in the wrong format state): the sink given then must hold nothing yet.
using PartSinks = std::function<RowSink &(std::size_t part)>;

struct ScanResult {
    int Error = 0;         // 0, or the errno that stopped the reading
    std::size_t Parts = 0; // how many parts the rows went to: sinks 0 to Parts - 1
};

// Hands the rows of an open file to sinks, as LoadLog would read them. A regular file of at least `minimum`
// bytes is read in up to `parts` parts at once, one thread each, every part after the first starting right after
// a record marker, where a chunk always ends; anything else is read in order into part 0. Within a part the rows
// come in file order, and the parts follow each other in file order. When hash is given, it becomes the hash of
// the bytes read, each part hashing its own.
ScanResult ScanLogFile(int fd, const PartSinks &sinks, std::size_t parts, std::size_t blockSize = LoadBlockSize,
                       std::size_t minimum = ParallelScanMinimum, ByteHash *hash = nullptr);

} // namespace pq
