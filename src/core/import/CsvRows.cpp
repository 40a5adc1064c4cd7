#include "import/CsvRows.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include <unistd.h>

#include "calc/EntryForm.h"
#include "import/CsvReader.h"
#include "log/Characters.h"
#include "log/CodePage1252.h"
#include "log/LogColumns.h"
#include "log/LogFile.h"
#include "log/Unencodable.h"

namespace pq {

namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view CsvSuffix = ".csv";
constexpr char NulByte = '\0';
constexpr char32_t InvertedExclamation = 0xA1;
// CSV files are read in blocks of this size.
constexpr std::size_t CsvBlockSize = std::size_t{1} << 16;

// The UTF-8 text of a record can take up to three bytes for each byte of a log row.
constexpr std::size_t Utf8BytesPerCodePageByte = 3;
constexpr CsvReader::Limits RecordLimits = {
    ColumnCount, Utf8BytesPerCodePageByte *(DateWidth + DistanceWidth + TimeWidth + NotesWidth)};

// A record that does not fit a log row: the line, and the field with the cause.
struct Misfit {
    std::size_t Line;
    std::string Reason;
};

[[noreturn]] void Refuse(std::size_t line, std::string_view field, const std::string &cause) {
    throw Misfit{line, std::string(field) + ": " + cause};
}

bool IsHeader(const std::vector<std::string> &fields) {
    if (fields.size() != ColumnCount) {
        return false;
    }
    for (int column = 0; column < ColumnCount; ++column) {
        if (!EqualsIgnoringCase(fields[column], ColumnNames[column])) {
            return false;
        }
    }
    return true;
}

bool IsLineBreak(char c) {
    return c == CarriageReturn || c == LineFeed;
}

// Notes with each line break (CR LF, LF or CR) held as the stored pair 0xA0 0xA0. A no-break space (0xA0) next to
// another or to a line break would come back from the file as part of a line break, so it is refused.
void StoreNotes(std::string_view notes, std::size_t line, std::string &stored) {
    stored.clear();
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const char c = notes[i];
        if (IsLineBreak(c)) {
            if (c == CarriageReturn && i + 1 < notes.size() && notes[i + 1] == LineFeed) {
                ++i;
            }
            stored.append(2, StoredLineBreak);
            continue;
        }
        if (c == StoredLineBreak) {
            const bool before = i > 0 && (notes[i - 1] == StoredLineBreak || IsLineBreak(notes[i - 1]));
            const bool after = i + 1 < notes.size() && (notes[i + 1] == StoredLineBreak || IsLineBreak(notes[i + 1]));
            if (before || after) {
                Refuse(line, "Notes",
                       "a no-break space (U+00A0) next to another or to a line break would read back as a line break");
            }
        }
        stored.push_back(c);
    }
}

// The field in Windows-1252 as the log holds it, or a refusal naming what does not fit.
void StoreField(const std::string &text, int column, std::size_t line, std::string &stored) {
    const std::string_view name = ColumnNames[column];
    const Encoded1252 encoded = EncodeUtf8To1252(text);
    if (!encoded.Ok) {
        Refuse(line, name, DescribeUnencodable(encoded.BadCharacter));
    }
    const std::string &bytes = encoded.Bytes;
    if (bytes.find(RecordMarker) != std::string::npos) {
        Refuse(line, name,
               "the character '" + Utf8OfCodePoint(InvertedExclamation) +
                   "' (U+00A1) starts a record in a log file and cannot be held by a field");
    }
    if (bytes.find(NulByte) != std::string::npos) {
        Refuse(line, name, "a NUL character (U+0000) cannot be held by a field");
    }
    if (column == NotesColumn) {
        StoreNotes(bytes, line, stored);
    } else {
        if (bytes.empty()) {
            Refuse(line, name, "empty (a log row needs a Date, a Distance and a Time)");
        }
        if (bytes.find(FieldSeparator) != std::string::npos) {
            Refuse(line, name, "a TAB separates the fields of a log row and cannot be held by this field");
        }
        if (std::any_of(bytes.begin(), bytes.end(), IsLineBreak)) {
            Refuse(line, name, "a line break cannot be held by this field");
        }
        stored = bytes;
    }
    if (stored.size() > FieldWidths[column]) {
        Refuse(line, name,
               std::to_string(stored.size()) + " bytes in Windows-1252; a log row holds at most " +
                   std::to_string(FieldWidths[column]));
    }
}

// The records after the header, each checked and handed on; throws a Misfit for a record that does not fit.
void ReadRecords(CsvReader &reader, const CsvRowSink &sink) {
    std::vector<std::string> fields;
    LogEntry entry;
    CsvReader::Outcome outcome = reader.Next(fields);
    if (outcome == CsvReader::Outcome::Refused) {
        throw Misfit{reader.Refused().Line, reader.Refused().Reason};
    }
    if (outcome == CsvReader::Outcome::End || !IsHeader(fields)) {
        throw Misfit{1, "the first line must be the header Date,Distance,Time,Notes"};
    }
    while ((outcome = reader.Next(fields)) == CsvReader::Outcome::Record) {
        const std::size_t line = reader.RecordLine();
        if (fields.size() == 1 && fields.front().empty()) {
            continue; // a blank line holds no row
        }
        if (fields.size() != ColumnCount) {
            throw Misfit{line, std::to_string(fields.size()) + " field(s); a row has 4: Date,Distance,Time,Notes"};
        }
        StoreField(fields[DateColumn], DateColumn, line, entry.Date);
        StoreField(fields[DistanceColumn], DistanceColumn, line, entry.Distance);
        StoreField(fields[TimeColumn], TimeColumn, line, entry.Time);
        StoreField(fields[NotesColumn], NotesColumn, line, entry.Notes);
        if (const std::optional<EntryFault> fault = CheckEntryForm(entry)) {
            Refuse(line, ColumnNames[fault->Column], "'" + fields[fault->Column] + "': " + fault->Reason);
        }
        sink(entry, line);
    }
    if (outcome == CsvReader::Outcome::Refused) {
        throw Misfit{reader.Refused().Line, reader.Refused().Reason};
    }
}

std::optional<ReadError> ReadFrom(CsvReader &reader, const std::string &name, const CsvRowSink &sink) {
    try {
        ReadRecords(reader, sink);
    } catch (const Misfit &misfit) {
        return ReadError{name, "line " + std::to_string(misfit.Line), misfit.Reason};
    }
    return std::nullopt;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.starts_with(Utf8ByteOrderMark)) {
        text.remove_prefix(Utf8ByteOrderMark.size());
    }
    return text;
}

// Closes a descriptor when it goes out of scope.
struct DescriptorCloser {
    void operator()(const int *fd) const { ::close(*fd); }
};

} // namespace

std::optional<ReadError> ReadCsvText(std::string_view text, const std::string &name, const CsvRowSink &sink) {
    CsvReader reader(WithoutByteOrderMark(text), RecordLimits);
    return ReadFrom(reader, name, sink);
}

std::optional<ReadError> ReadCsvFile(const std::string &path, const CsvRowSink &sink) {
    int failure = 0;
    std::string cause;
    int fd = OpenRegularFile(path, failure, cause);
    if (fd < 0) {
        return ReadError{path, {}, cause};
    }
    const std::unique_ptr<const int, DescriptorCloser> closer(&fd);
    const auto block = std::make_unique_for_overwrite<char[]>(CsvBlockSize);
    bool first = true;
    int readFailure = 0;
    // A failed read ends the text; the failure is reported instead of what the reader made of it.
    CsvReader reader(
        [&]() -> std::string_view {
            for (;;) {
                const ssize_t got = ReadSome(fd, block.get(), CsvBlockSize);
                if (got < 0) {
                    readFailure = errno;
                    return {};
                }
                std::string_view text(block.get(), static_cast<std::size_t>(got));
                if (std::exchange(first, false)) {
                    text = WithoutByteOrderMark(text);
                }
                // An empty view would end the text; a first block of the mark alone is followed by more.
                if (!text.empty() || got == 0) {
                    return text;
                }
            }
        },
        RecordLimits);
    std::optional<ReadError> error = ReadFrom(reader, path, sink);
    if (readFailure != 0) {
        return ReadError{path, {}, std::strerror(readFailure)};
    }
    return error;
}

bool TakenAsCsv(FileFormat detected, std::string_view path) {
    return detected == FileFormat::Csv || (detected == FileFormat::Unknown && path.size() >= CsvSuffix.size() &&
                                           EqualsIgnoringCase(path.substr(path.size() - CsvSuffix.size()), CsvSuffix));
}

} // namespace pq
