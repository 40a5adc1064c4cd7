#include "import/GzipInflater.h"

#include <new>

#include <zlib.h>

namespace pq {

namespace {

// Window bits that make zlib read the gzip wrapper and only that.
constexpr int GzipWindowBits = 16 + MAX_WBITS;
constexpr std::size_t InputBlock = std::size_t{1} << 16;
constexpr std::string_view CutShort = "the gzip data ends early";

} // namespace

GzipInflater::GzipInflater(BlockSource compressed) : Compressed(std::move(compressed)), Stream(new z_stream_s{}) {
    if (inflateInit2(Stream.get(), GzipWindowBits) != Z_OK) {
        throw std::bad_alloc();
    }
    Input.resize(InputBlock);
}

GzipInflater::~GzipInflater() {
    inflateEnd(Stream.get());
}

std::optional<std::size_t> GzipInflater::Read(std::string &block, std::string &reason) {
    Stream->next_out = reinterpret_cast<Bytef *>(block.data());
    Stream->avail_out = static_cast<uInt>(block.size());
    while (Stream->avail_out > 0) {
        if (Stream->avail_in == 0 && !InputEnded) {
            Input.resize(InputBlock);
            const std::optional<std::size_t> got = Compressed(Input, reason);
            if (!got) {
                return std::nullopt;
            }
            InputEnded = *got == 0;
            Stream->next_in = reinterpret_cast<Bytef *>(Input.data());
            Stream->avail_in = static_cast<uInt>(*got);
        }
        if (Stream->avail_in == 0) {
            if (!StreamEnded) {
                reason = CutShort;
                return std::nullopt;
            }
            break;
        }
        if (StreamEnded) {
            // Another gzip member follows the one that ended.
            inflateReset(Stream.get());
            StreamEnded = false;
        }
        const int result = inflate(Stream.get(), Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            StreamEnded = true;
        } else if (result == Z_BUF_ERROR && Stream->avail_in > 0) {
            break; // the output is full
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            reason =
                std::string("not gzip data that inflates: ") + (Stream->msg != nullptr ? Stream->msg : "zlib error");
            return std::nullopt;
        }
    }
    return block.size() - Stream->avail_out;
}

} // namespace pq
