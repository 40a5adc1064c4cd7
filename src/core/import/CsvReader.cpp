#include "import/CsvReader.h"

#include <utility>

#include "log/Characters.h"

namespace pq {

namespace {

bool IsLineBreak(char c) {
    return c == CarriageReturn || c == LineFeed;
}

} // namespace

CsvReader::CsvReader(Source source, Limits limits) : Fetch(std::move(source)), Limit(limits) {}

CsvReader::CsvReader(std::string_view text, Limits limits)
    : Fetch([text, given = false]() mutable {
          const bool first = !given;
          given = true;
          return first ? text : std::string_view();
      }),
      Limit(limits) {}

void CsvReader::Refuse(std::size_t line, std::string reason) {
    throw Refusal{line, std::move(reason)};
}

void CsvReader::CountBytes(std::size_t added) {
    RecordBytes += added;
    if (RecordBytes > Limit.Bytes) {
        Refuse(StartLine, "more than " + std::to_string(Limit.Bytes) + " bytes of text in one record");
    }
}

bool CsvReader::AtEnd() {
    while (Pos == Block.size()) {
        if (Ended) {
            return true;
        }
        Block = Fetch();
        Pos = 0;
        Ended = Block.empty();
    }
    return false;
}

bool CsvReader::AtLineBreak() {
    return !AtEnd() && IsLineBreak(Block[Pos]);
}

// Steps over a line break (CR LF as one), adding its bytes to the field when there is one.
void CsvReader::SkipLineBreak(std::string *field) {
    const char first = Block[Pos++];
    std::size_t length = 1;
    const bool pair = first == CarriageReturn && !AtEnd() && Block[Pos] == LineFeed;
    if (pair) {
        ++Pos;
        ++length;
    }
    ++Line;
    if (field != nullptr) {
        CountBytes(length);
        field->push_back(first);
        if (pair) {
            field->push_back(LineFeed);
        }
    }
}

void CsvReader::ReadUnquoted(std::string &field) {
    while (!AtEnd()) {
        const std::size_t start = Pos;
        while (Pos < Block.size() && Block[Pos] != CsvSeparator && !IsLineBreak(Block[Pos])) {
            ++Pos;
        }
        CountBytes(Pos - start);
        field.append(Block.substr(start, Pos - start));
        if (Pos < Block.size()) {
            return;
        }
    }
}

void CsvReader::ReadQuoted(std::string &field) {
    const std::size_t openedOn = Line;
    ++Pos;
    for (;;) {
        if (AtEnd()) {
            Refuse(openedOn, "a quoted field is not closed");
        }
        const char c = Block[Pos];
        if (c == Quote) {
            ++Pos;
            if (AtEnd() || Block[Pos] != Quote) {
                break;
            }
            CountBytes(1);
            field.push_back(Quote);
            ++Pos;
            continue;
        }
        if (IsLineBreak(c)) {
            // Line breaks inside the field are kept as they stand; only the line count needs the pair as one.
            SkipLineBreak(&field);
            continue;
        }
        const std::size_t start = Pos;
        while (Pos < Block.size() && Block[Pos] != Quote && !IsLineBreak(Block[Pos])) {
            ++Pos;
        }
        CountBytes(Pos - start);
        field.append(Block.substr(start, Pos - start));
    }
    if (!AtEnd() && Block[Pos] != CsvSeparator && !IsLineBreak(Block[Pos])) {
        Refuse(Line, "text after the closing quote of a field");
    }
}

CsvReader::Outcome CsvReader::ReadRecord(std::vector<std::string> &fields) {
    fields.clear();
    if (AtEnd()) {
        return Outcome::End;
    }
    StartLine = Line;
    RecordBytes = 0;
    for (;;) {
        if (fields.size() == Limit.Fields) {
            Refuse(StartLine, "more than " + std::to_string(Limit.Fields) + " fields in one record");
        }
        std::string &field = fields.emplace_back();
        if (!AtEnd() && Block[Pos] == Quote) {
            ReadQuoted(field);
        } else {
            ReadUnquoted(field);
        }
        if (!AtEnd() && Block[Pos] == CsvSeparator) {
            ++Pos;
            continue;
        }
        if (AtLineBreak()) {
            SkipLineBreak(nullptr);
        }
        return Outcome::Record;
    }
}

CsvReader::Outcome CsvReader::Next(std::vector<std::string> &fields) {
    if (!Stop.Reason.empty()) {
        return Outcome::Refused;
    }
    try {
        return ReadRecord(fields);
    } catch (Refusal &refusal) {
        Stop = std::move(refusal);
        return Outcome::Refused;
    }
}

} // namespace pq
