#include "cli/CsvReader.h"

#include "cli/Characters.h"
#include "cli/CliError.h"

namespace pq::cli {

CsvReader::CsvReader(std::string_view text, Limits limits) : Text(text), Limit(limits) {}

void CsvReader::CountBytes(std::size_t added) {
    RecordBytes += added;
    if (RecordBytes > Limit.Bytes) {
        throw CliError(ExitFailure, "line " + std::to_string(StartLine) + ": more than " + std::to_string(Limit.Bytes) +
                                        " bytes of text in one record");
    }
}

bool CsvReader::AtLineBreak() const {
    return Pos < Text.size() && (Text[Pos] == CarriageReturn || Text[Pos] == LineFeed);
}

void CsvReader::SkipLineBreak() {
    if (Text[Pos] == CarriageReturn && Pos + 1 < Text.size() && Text[Pos + 1] == LineFeed) {
        ++Pos;
    }
    ++Pos;
    ++Line;
}

void CsvReader::ReadQuoted(std::string &field) {
    const std::size_t openedOn = Line;
    ++Pos;
    for (;;) {
        if (Pos >= Text.size()) {
            throw CliError(ExitFailure, "line " + std::to_string(openedOn) + ": a quoted field is not closed");
        }
        const char c = Text[Pos];
        if (c == Quote) {
            if (Pos + 1 < Text.size() && Text[Pos + 1] == Quote) {
                CountBytes(1);
                field.push_back(Quote);
                Pos += 2;
                continue;
            }
            ++Pos;
            break;
        }
        if (c == CarriageReturn || c == LineFeed) {
            // Line breaks inside the field are kept as they stand; only the line count needs the pair as one.
            const std::size_t start = Pos;
            SkipLineBreak();
            CountBytes(Pos - start);
            field.append(Text.substr(start, Pos - start));
            continue;
        }
        CountBytes(1);
        field.push_back(c);
        ++Pos;
    }
    if (Pos < Text.size() && Text[Pos] != CsvSeparator && !AtLineBreak()) {
        throw CliError(ExitFailure, "line " + std::to_string(Line) + ": text after the closing quote of a field");
    }
}

bool CsvReader::Next(std::vector<std::string> &fields) {
    fields.clear();
    if (Pos >= Text.size()) {
        return false;
    }
    StartLine = Line;
    RecordBytes = 0;
    for (;;) {
        if (fields.size() == Limit.Fields) {
            throw CliError(ExitFailure, "line " + std::to_string(StartLine) + ": more than " +
                                            std::to_string(Limit.Fields) + " fields in one record");
        }
        std::string &field = fields.emplace_back();
        if (Pos < Text.size() && Text[Pos] == Quote) {
            ReadQuoted(field);
        } else {
            const std::size_t start = Pos;
            while (Pos < Text.size() && Text[Pos] != CsvSeparator && !AtLineBreak()) {
                ++Pos;
            }
            CountBytes(Pos - start);
            field.assign(Text.substr(start, Pos - start));
        }
        if (Pos < Text.size() && Text[Pos] == CsvSeparator) {
            ++Pos;
            continue;
        }
        if (AtLineBreak()) {
            SkipLineBreak();
        }
        return true;
    }
}

} // namespace pq::cli
