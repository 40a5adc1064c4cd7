#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "log/LogList.h"
#include "log/RowSink.h"

namespace pq {

inline constexpr std::string_view LogHeader = "Pacequill version 3.1 log file format";
inline constexpr std::size_t ChunkBufferSize = 900; // a chunk holds at most 899 bytes
// Written by some editors before the first line of a text file.
inline constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
// The most blank lines (CR LF each) that LooksLikeLog looks past before the first record or the header.
inline constexpr std::size_t LeadingBlankLinesSeen = 4;
// How many of a file's first bytes LooksLikeLog needs: a byte-order mark, blank lines and the header line.
inline constexpr std::size_t LogStartSize = Utf8ByteOrderMark.size() + 2 * LeadingBlankLinesSeen + LogHeader.size();

// Whether a file that starts with these bytes is a log: it is empty, or it begins with the header line (current
// logs) or with a record marker (older, headerless logs), after a UTF-8 byte-order mark and blank lines if there
// are any. Any other file would be read as rows of junk, and a save would overwrite it in the log's format.
bool LooksLikeLog(std::string_view start);

// What the bytes before a place in a log file tell about the records after it.
struct ReadState {
    bool OldFormat = true;     // no header line read yet: records get a century before their date
    bool LineFeedEnds = false; // the header line ended in LF alone, as after a tool turned CR LF into LF: so do the
                               // records (in any other log an LF before the end is a byte of the record)
    bool operator==(const ReadState &) const = default;
};

// Splits a log file's bytes into chunks and appends a row per record to a list. The bytes may come in blocks of
// any size: a chunk cut by the end of a block is carried over to the next one, so the rows are the same however
// the file is divided.
class LogReader {
public:
    explicit LogReader(LogList &list);
    // Hands the rows to a sink instead. A reader may start inside a file, right after a record marker, in the
    // state that the bytes before that marker left.
    explicit LogReader(RowSink &sink, ReadState state = {});

    // Room for the rows of a file of this many bytes holding this many record markers, with spare rows so that a
    // few added entries do not make the row vector double.
    void Reserve(std::size_t markers, std::size_t bytes);
    // The rows Reserve makes room for.
    static std::size_t RowsToReserve(std::size_t markers);
    void Feed(std::string_view block);
    // Takes the chunk still open at the end of the file.
    void Finish();
    // Whether the bytes fed so far start as a log's do (LooksLikeLog).
    bool StartsLikeLog() const { return LooksLikeLog(Start); }

    // The state the bytes fed so far leave.
    const ReadState &State() const { return Read; }

private:
    LogReader(LogList *list, RowSink *sink, ReadState state);
    void EndChunk(std::string_view piece);
    void TakeChunk(std::string_view chunk);

    LogList *List = nullptr;
    RowSink *Sink = nullptr;
    std::string Carry;  // the start of a chunk that the previous block cut off
    std::string Buffer; // a chunk rewritten with its century or line breaks
    ReadState Read;
    std::string Start; // the first bytes of the file, as many as LooksLikeLog needs
};

} // namespace pq
