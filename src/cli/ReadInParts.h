#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cli/LogFiles.h"

namespace pq::cli {

// The rows of a log file handed to a new Sink (a RowSink with Append) per part, a part of a big file on each core,
// and the later parts appended to the first in file order; the first part's sink.
template <class Sink> Sink ReadInParts(const std::string &path, OutputBuffer &err) {
    std::vector<Sink> parts(ReadingThreads());
    const std::size_t used = ScanInputLog(
        path,
        [&parts](std::size_t part) -> RowSink & {
            parts[part] = Sink();
            return parts[part];
        },
        parts.size(), err);
    for (std::size_t part = 1; part < used; ++part) {
        parts.front().Append(parts[part]);
        parts[part] = Sink();
    }
    return std::move(parts.front());
}

} // namespace pq::cli
