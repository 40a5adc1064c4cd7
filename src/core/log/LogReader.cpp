#include "log/LogReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "log/SpareRows.h"

namespace pq {

namespace {

constexpr char CarriageReturn = '\r';
constexpr char LineFeed = '\n';
constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t ChunkLimit = ChunkBufferSize - 1;
constexpr std::string_view OldCentury = "19";
constexpr std::string_view NewCentury = "20";
constexpr std::size_t CenturyLength = 2;
// Records of older logs whose first byte lies in this range are dated 1980 to 1999, the rest 2000 to 2079.
constexpr unsigned char OldCenturyFirst = 0x38;
constexpr unsigned char OldCenturyLast = 0x7F;
constexpr char NoDateInitial = 'N';

bool IsLineBreakByte(char byte) {
    return byte == CarriageReturn || byte == LineFeed;
}

// A chunk is looked through eight bytes at a time: each byte of EveryByte is 1.
using Word = std::uint64_t;
constexpr Word EveryByte = ~Word{0} / 0xFF;
constexpr Word HighBits = EveryByte << 7;

// Nonzero exactly when some byte of the word is zero.
Word ZeroByteIn(Word word) {
    return (word - EveryByte) & ~word & HighBits;
}

// What one pass over a chunk finds: a NUL anywhere, and a CR or LF before its last two bytes (where a record's
// line end lies). Most chunks have neither, and are then read where they stand without looking at them again.
struct ChunkBytes {
    bool Nul = false;
    bool EarlyBreak = false;
};

ChunkBytes ScanChunk(std::string_view chunk) {
    const std::size_t early = chunk.size() >= LineEnd.size() ? chunk.size() - LineEnd.size() : 0;
    Word nul = 0;
    Word breaks = 0;
    std::size_t i = 0;
    for (; i + sizeof(Word) <= early; i += sizeof(Word)) {
        Word word;
        std::memcpy(&word, chunk.data() + i, sizeof(Word));
        nul |= ZeroByteIn(word);
        breaks |= ZeroByteIn(word ^ (EveryByte * CarriageReturn)) | ZeroByteIn(word ^ (EveryByte * LineFeed));
    }
    ChunkBytes found{nul != 0, breaks != 0};
    for (; i < chunk.size(); ++i) {
        found.Nul = found.Nul || chunk[i] == '\0';
        found.EarlyBreak = found.EarlyBreak || (i < early && IsLineBreakByte(chunk[i]));
    }
    return found;
}

// How a chunk's line ends: CR LF as the program writes it, or LF alone where a tool turned the line ends into LF.
std::size_t LineEndLength(std::string_view chunk) {
    if (chunk.ends_with(LineEnd)) {
        return LineEnd.size();
    }
    return chunk.ends_with(LineFeed) ? 1 : 0;
}

// Whether a chunk is the header line, and then how its line ends.
bool TakeHeader(std::string_view chunk, ReadState &state) {
    const std::size_t lineEnd = LineEndLength(chunk);
    if (chunk.substr(0, chunk.size() - lineEnd) != LogHeader) {
        return false;
    }
    state.OldFormat = false;
    state.LineFeedEnds = lineEnd == 1;
    return true;
}

// Turns one chunk of a log file into a row, or nothing for the header line and for empty chunks. The returned
// text points either into the chunk or, when the chunk had to be rewritten, into buffer. earlyBreak is false only
// when no CR or LF lies before the chunk's last two bytes.
bool ChunkToRow(std::string_view chunk, bool earlyBreak, ReadState &state, std::string &buffer, std::string_view &row) {
    if (TakeHeader(chunk, state)) {
        return false;
    }
    const std::size_t asRead = chunk.size();
    std::size_t lineEnd = LineEndLength(chunk);
    if (lineEnd == 1 && !state.LineFeedEnds) {
        lineEnd = 0;
    }
    const bool lineFeedEnded = lineEnd == 1;
    chunk.remove_suffix(lineEnd);
    if (chunk.empty()) {
        return false;
    }
    // The last two bytes as read are never line breaks of the record's text, even when they are not CR LF; in a
    // record ended by LF alone only that LF is the line end.
    const std::size_t tail = lineFeedEnded ? 1 : LineEnd.size();
    const std::size_t breakable = asRead >= tail ? std::min(asRead - tail, chunk.size()) : 0;
    const auto breakableEnd = chunk.begin() + static_cast<std::ptrdiff_t>(breakable);
    // Only a record ended by LF alone has a byte to look at that the early ones leave out.
    const bool hasBreak = (earlyBreak || lineFeedEnded) && std::any_of(chunk.begin(), breakableEnd, IsLineBreakByte);
    const bool addCentury = state.OldFormat && chunk.front() != NoDateInitial;
    if (!hasBreak && !addCentury) {
        row = chunk;
        return true;
    }
    buffer.clear();
    if (addCentury) {
        const auto first = static_cast<unsigned char>(chunk.front());
        buffer.append(first >= OldCenturyFirst && first <= OldCenturyLast ? OldCentury : NewCentury);
    }
    for (std::size_t i = 0; i < chunk.size(); ++i) {
        const char byte = chunk[i];
        if (i >= breakable || !IsLineBreakByte(byte)) {
            buffer.push_back(byte);
        } else if (lineFeedEnded && byte == LineFeed && (i == 0 || chunk[i - 1] != CarriageReturn)) {
            // Where LF alone ends the lines, an LF inside the notes is a whole line break, stored as a pair.
            buffer.append(2, StoredLineBreak);
        } else {
            buffer.push_back(StoredLineBreak);
        }
    }
    row = buffer;
    return true;
}

} // namespace

bool LooksLikeLog(std::string_view start) {
    if (start.starts_with(Utf8ByteOrderMark))
        start.remove_prefix(Utf8ByteOrderMark.size());
    start.remove_prefix(std::min(start.find_first_not_of(LineEnd), start.size()));
    return start.empty() || start.front() == RecordMarker || start.starts_with(LogHeader);
}

LogReader::LogReader(LogList &list) : LogReader(&list, nullptr, {}) {}

LogReader::LogReader(RowSink &sink, ReadState state) : LogReader(nullptr, &sink, state) {}

LogReader::LogReader(LogList *list, RowSink *sink, ReadState state) : List(list), Sink(sink), Read(state) {
    Carry.reserve(ChunkLimit);
    // A chunk of LF-ended lines may double in length when its line breaks become pairs.
    Buffer.reserve(2 * ChunkBufferSize + CenturyLength);
}

void LogReader::Reserve(std::size_t markers, std::size_t bytes) {
    if (List == nullptr) {
        return;
    }
    List->Reserve(RowsToReserve(markers), bytes + CenturyLength * (markers + 1));
}

std::size_t LogReader::RowsToReserve(std::size_t markers) {
    return RowsWithSpare(markers) + 1;
}

void LogReader::Feed(std::string_view block) {
    if (Start.size() < LogStartSize) {
        Start.append(block.substr(0, LogStartSize - Start.size()));
    }
    while (!block.empty()) {
        const std::size_t room = ChunkLimit - Carry.size();
        const std::size_t window = std::min(room, block.size());
        const auto *marker = static_cast<const char *>(std::memchr(block.data(), RecordMarker, window));
        if (marker != nullptr) {
            const auto length = static_cast<std::size_t>(marker - block.data());
            EndChunk(block.substr(0, length));
            block.remove_prefix(length + 1);
        } else if (window == room) {
            EndChunk(block.substr(0, window));
            block.remove_prefix(window);
        } else {
            Carry.append(block);
            return;
        }
    }
}

void LogReader::Finish() {
    if (!Carry.empty()) {
        TakeChunk(Carry);
        Carry.clear();
    }
}

// Chunks lying whole in one block are read where they stand; only a chunk begun in an earlier block is copied.
void LogReader::EndChunk(std::string_view piece) {
    if (Carry.empty()) {
        TakeChunk(piece);
        return;
    }
    Carry.append(piece);
    TakeChunk(Carry);
    Carry.clear();
}

void LogReader::TakeChunk(std::string_view chunk) {
    const ChunkBytes found = ScanChunk(chunk);
    bool earlyBreak = found.EarlyBreak;
    // A NUL ends the text of its chunk; the bytes after it were still read as part of that chunk.
    if (found.Nul) {
        chunk = chunk.substr(0, chunk.find('\0'));
        earlyBreak = true; // the chunk's end moved: look again
    }
    std::string_view row;
    if (!ChunkToRow(chunk, earlyBreak, Read, Buffer, row)) {
        return;
    }
    if (List != nullptr) {
        List->AppendRow(row);
    } else {
        Sink->TakeRow(row);
    }
}

} // namespace pq
