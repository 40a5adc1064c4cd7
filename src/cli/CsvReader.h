#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pq::cli {

// Reads RFC 4180 records: fields separated by commas, records ended by CR LF, LF or CR, a field in double quotes
// holding commas, line breaks and doubled quotes. A quote inside an unquoted field is taken as it stands.
class CsvReader {
public:
    // The most a record may hold: more fields, or more bytes of field text, are refused as soon as they are read,
    // so that a record that could never be used costs no more memory than one that could.
    struct Limits {
        std::size_t Fields;
        std::size_t Bytes;
    };

    CsvReader(std::string_view text, Limits limits);

    // The next record's fields; false at the end of the text. Throws a CliError naming the line of a quoted
    // field that is not closed or is followed by other text, or of a record beyond the limits.
    bool Next(std::vector<std::string> &fields);
    // The line (1-based) on which the record last read begins.
    std::size_t RecordLine() const { return StartLine; }

private:
    void ReadQuoted(std::string &field);
    bool AtLineBreak() const;
    void SkipLineBreak();
    // Counts bytes added to the record's fields against the limit.
    void CountBytes(std::size_t added);

    std::string_view Text;
    Limits Limit;
    std::size_t RecordBytes = 0;
    std::size_t Pos = 0;
    std::size_t Line = 1;
    std::size_t StartLine = 1;
};

} // namespace pq::cli
