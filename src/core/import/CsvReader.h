#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Reads RFC 4180 records: fields separated by commas, records ended by CR LF, LF or CR, a field in double quotes
// holding commas, line breaks and doubled quotes. A quote inside an unquoted field is taken as it stands. The text
// comes in blocks from a source, so a file is never held whole; a record may span blocks.
class CsvReader {
public:
    // The most a record may hold: more fields, or more bytes of field text, are refused as soon as they are read,
    // so that a record that could never be used costs no more memory than one that could.
    struct Limits {
        std::size_t Fields;
        std::size_t Bytes;
    };

    // The next block of the text; empty at its end. A block stays valid until the source is asked again. A source
    // that cannot read throws; the exception reaches the caller of Next.
    using Source = std::function<std::string_view()>;

    // What stopped the reading: the line (1-based) and the reason.
    struct Refusal {
        std::size_t Line = 0;
        std::string Reason;
    };

    enum class Outcome { Record, End, Refused };

    CsvReader(Source source, Limits limits);
    // A text held whole.
    CsvReader(std::string_view text, Limits limits);

    // The next record's fields. Refused names the line of a quoted field that is not closed or is followed by
    // other text, or of a record beyond the limits; the reader then stays refused.
    Outcome Next(std::vector<std::string> &fields);
    // The line on which the record last read begins.
    std::size_t RecordLine() const { return StartLine; }
    const Refusal &Refused() const { return Stop; }

private:
    Outcome ReadRecord(std::vector<std::string> &fields);
    // True when no byte is left; fetches the next block when the current one is used up.
    bool AtEnd();
    bool AtLineBreak();
    void SkipLineBreak(std::string *field);
    void ReadUnquoted(std::string &field);
    void ReadQuoted(std::string &field);
    // Counts bytes added to the record's fields against the limit.
    void CountBytes(std::size_t added);
    [[noreturn]] void Refuse(std::size_t line, std::string reason);

    Source Fetch;
    Limits Limit;
    std::string_view Block;
    std::size_t Pos = 0;
    std::size_t RecordBytes = 0;
    std::size_t Line = 1;
    std::size_t StartLine = 1;
    bool Ended = false;
    Refusal Stop;
};

} // namespace pq
