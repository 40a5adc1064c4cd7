#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "log/LogScan.h"

// Writes the bytes to a file at the path, then hands the file's rows to a new Sink (a RowSink with Append) per
// part as ScanLogFile does in up to `parts` parts, with blocks of the size and however small the file is; the
// later parts are appended to the first, whose sink is returned. Throws when the file cannot be written or read.
template <class Sink>
Sink ScanBytesInParts(const std::string &bytes, const std::string &path, std::size_t parts, std::size_t blockSize) {
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const bool written = out >= 0 && ::write(out, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    if (out >= 0) {
        ::close(out);
    }
    const int fd = written ? ::open(path.c_str(), O_RDONLY) : -1;
    if (fd < 0) {
        throw std::runtime_error(path + ": cannot be written or read");
    }
    std::vector<Sink> sinks(parts);
    const pq::ScanResult result = pq::ScanLogFile(
        fd,
        [&sinks](std::size_t part) -> pq::RowSink & {
            sinks[part] = Sink();
            return sinks[part];
        },
        parts, blockSize, 0);
    ::close(fd);
    if (result.Error != 0 || result.Parts < 1 || result.Parts > parts) {
        throw std::runtime_error(path + ": not read in parts");
    }
    for (std::size_t part = 1; part < result.Parts; ++part) {
        sinks.front().Append(sinks[part]);
    }
    return std::move(sinks.front());
}
