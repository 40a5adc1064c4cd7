// Reads arbitrary bytes as a log, writes the rows back and reads them again, checking what must survive; and reads
// the same bytes in blocks of varying size, checking that the rows do not depend on where the blocks end.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "log/LogFile.h"
#include "log/LogReader.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool HoldsLineBreakByte(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A row read from a file never holds the record marker or a NUL.
void CheckRowBytes(const pq::LogList &list) {
    for (int i = 0; i < list.RowCount(); ++i) {
        for (int c = 0; c < pq::ColumnCount; ++c) {
            const std::string_view text = list.Text(i, c);
            Check(text.find(pq::RecordMarker) == std::string_view::npos);
            Check(text.find('\0') == std::string_view::npos);
        }
    }
}

// Blocks from one byte to a little over two chunks, so that chunks straddle blocks at every position; half of them
// a few bytes only, so that a chunk often spans several blocks.
constexpr std::size_t LargestBlock = 2 * pq::ChunkBufferSize + 1;
constexpr std::size_t LargestSmallBlock = 16;
// The input repeated to at least this size, so that short inputs too give chunks longer than one chunk buffer.
constexpr std::size_t StretchedSize = 3 * pq::ChunkBufferSize;

bool SameRows(const pq::LogList &a, const pq::LogList &b) {
    if (a.RowCount() != b.RowCount()) {
        return false;
    }
    for (int i = 0; i < a.RowCount(); ++i) {
        for (int c = 0; c < pq::ColumnCount; ++c) {
            if (a.Text(i, c) != b.Text(i, c)) {
                return false;
            }
        }
    }
    return true;
}

// The block sizes follow from the input, so that a crash replays.
pq::LogList ReadInBlocks(std::string_view input, bool &looksLikeLog) {
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(std::hash<std::string_view>{}(input)));
    std::uniform_int_distribution<std::size_t> largeBlock(1, LargestBlock);
    std::uniform_int_distribution<std::size_t> smallBlock(1, LargestSmallBlock);
    std::bernoulli_distribution small;
    pq::LogList list;
    pq::LogReader reader(list);
    while (!input.empty()) {
        const std::size_t size = std::min(small(random) ? smallBlock(random) : largeBlock(random), input.size());
        reader.Feed(input.substr(0, size));
        input.remove_prefix(size);
    }
    reader.Finish();
    looksLikeLog = reader.StartsLikeLog();
    return list;
}

void CheckBlocksChangeNothing(std::string_view input) {
    pq::LogList whole;
    const bool looksLikeLog = pq::ReadLogBytes(input, whole);
    bool blocksLookLikeLog = false;
    Check(SameRows(ReadInBlocks(input, blocksLookLikeLog), whole));
    Check(blocksLookLikeLog == looksLikeLog);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    pq::LogList first;
    const bool looksLikeLog = pq::ReadLogBytes(input, first);
    CheckRowBytes(first);
    bool blocksLookLikeLog = false;
    Check(SameRows(ReadInBlocks(input, blocksLookLikeLog), first));
    // However the file is divided, the same first bytes decide whether it is a log.
    Check(blocksLookLikeLog == looksLikeLog);
    if (!input.empty()) {
        std::string stretched;
        while (stretched.size() < StretchedSize) {
            stretched.append(input);
        }
        CheckBlocksChangeNothing(stretched);
    }

    pq::LogList second;
    Check(pq::ReadLogBytes(pq::LogBytes(first), second)); // whatever was read is written as a log
    CheckRowBytes(second);
    // Every written record fits one chunk and is never empty, so each row comes back as exactly one row.
    Check(second.RowCount() == first.RowCount());
    for (int i = 0; i < first.RowCount(); ++i) {
        const pq::LogEntry written = first.ReadEntry(i);
        // Rows with all first three fields and no real line break byte in any field come back unchanged.
        if (!written.Date.empty() && !written.Distance.empty() && !written.Time.empty() &&
            !HoldsLineBreakByte(pq::LogList::JoinEntry(written))) {
            Check(second.ReadEntry(i) == written);
        }
    }

    // Once written and read, a log is stable.
    pq::LogList third;
    const std::string bytes = pq::LogBytes(second);
    pq::ReadLogBytes(bytes, third);
    Check(third.RowCount() == second.RowCount());
    for (int i = 0; i < second.RowCount(); ++i) {
        Check(third.ReadEntry(i) == second.ReadEntry(i));
    }
    Check(pq::LogBytes(third) == bytes);
    return 0;
}
