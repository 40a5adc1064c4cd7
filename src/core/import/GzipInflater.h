#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

struct z_stream_s;

namespace pq {

// Gives the next bytes of a file: fills block from its start and returns the count (0 at the end), or nothing with
// the reason when the bytes cannot be read.
using BlockSource = std::function<std::optional<std::size_t>(std::string &block, std::string &reason)>;

// The bytes of a gzip file (one member or several in a row) as they inflate, through zlib, from the compressed
// bytes of another source; a gzip stream that is damaged or cut short is an error with zlib's reason.
class GzipInflater {
public:
    explicit GzipInflater(BlockSource compressed);
    ~GzipInflater();
    GzipInflater(const GzipInflater &) = delete;
    GzipInflater &operator=(const GzipInflater &) = delete;

    // A BlockSource of the inflated bytes.
    std::optional<std::size_t> Read(std::string &block, std::string &reason);

private:
    BlockSource Compressed;
    std::unique_ptr<z_stream_s> Stream;
    std::string Input;
    bool InputEnded = false;
    bool StreamEnded = false; // the last member ended; more input starts another
};

} // namespace pq
