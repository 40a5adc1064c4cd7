#include "log/NoteMarks.h"

#include <algorithm>
#include <array>

#include "log/CodePage1252.h"

namespace pq {

namespace {

constexpr std::size_t ByteValues = 256;

// Letters among the characters Windows-1252 holds beyond ASCII: the Latin-1 letters (with the ordinal indicators
// and the micro sign) and the few letters the code page places in 0x80..0x9F.
bool IsLetterBeyondAscii(char16_t c) {
    constexpr std::array<char16_t, 11> singles = {u'\u00AA', u'\u00B5', u'\u00BA', u'\u0152', u'\u0153', u'\u0160',
                                                  u'\u0161', u'\u0178', u'\u017D', u'\u017E', u'\u0192'};
    const bool latin1Letter = c >= u'\u00C0' && c <= u'\u00FF' && c != u'\u00D7' && c != u'\u00F7';
    return latin1Letter || std::find(singles.begin(), singles.end(), c) != singles.end();
}

bool ClassifyNameByte(unsigned char byte) {
    const char16_t c = DecodeByte1252(byte);
    const bool asciiLetter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    const bool digit = c >= u'0' && c <= u'9';
    return asciiLetter || digit || c == u'-' || c == u'_' || IsLetterBeyondAscii(c);
}

// The name bytes, classified once through the code page table.
const std::array<bool, ByteValues> &NameBytes() {
    static const std::array<bool, ByteValues> table = [] {
        std::array<bool, ByteValues> bytes{};
        for (std::size_t byte = 0; byte < ByteValues; ++byte) {
            bytes[byte] = ClassifyNameByte(static_cast<unsigned char>(byte));
        }
        return bytes;
    }();
    return table;
}

// The small letter of a capital of the code page (A to Z, À to Þ but ×, Š, Œ, Ž, Ÿ), else the character itself.
char16_t SmallLetter(char16_t c) {
    constexpr char16_t CaseDistance = u'a' - u'A';
    if ((c >= u'A' && c <= u'Z') || (c >= u'\u00C0' && c <= u'\u00DE' && c != u'\u00D7')) {
        return static_cast<char16_t>(c + CaseDistance);
    }
    switch (c) {
    case u'\u0152':
    case u'\u0160':
    case u'\u017D':
        return static_cast<char16_t>(c + 1);
    case u'\u0178':
        return u'\u00FF';
    default:
        return c;
    }
}

// Each byte's small letter in the code page, made once from its table.
const std::array<char, ByteValues> &SmallBytes() {
    static const std::array<char, ByteValues> table = [] {
        std::array<char, ByteValues> bytes{};
        for (std::size_t byte = 0; byte < ByteValues; ++byte) {
            const auto original = static_cast<char>(byte);
            const char16_t c = DecodeByte1252(static_cast<unsigned char>(byte));
            bytes[byte] = EncodeChar1252(SmallLetter(c)).value_or(original);
        }
        return bytes;
    }();
    return table;
}

char Small(char c) {
    return SmallBytes()[static_cast<unsigned char>(c)];
}

// The name of the mark whose sign stands at pos, or an empty view when the sign starts no mark.
std::string_view MarkAt(std::string_view notes, std::size_t pos) {
    if (pos > 0 && IsMarkNameByte(notes[pos - 1])) {
        return {};
    }
    std::size_t end = pos + 1;
    while (end < notes.size() && IsMarkNameByte(notes[end])) {
        ++end;
    }
    return notes.substr(pos + 1, end - pos - 1);
}

// Letters and digits join the bytes around them into a word; any other byte (a blank, a line break, punctuation)
// stands between words.
bool IsWordByte(char byte) {
    return IsMarkNameByte(byte) && byte != '-' && byte != '_';
}

bool IsDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

constexpr int Decimal = 10;

// The number of the effort marker starting at pos, or nothing when none starts there. A number beyond the largest
// effort is read as one more than it, since it is out of range whatever it says.
std::optional<int> EffortAt(std::string_view notes, std::size_t pos) {
    if ((pos > 0 && IsWordByte(notes[pos - 1])) ||
        !SameMarkName(notes.substr(pos, EffortMarker.size()), EffortMarker)) {
        return std::nullopt;
    }
    const std::size_t first = pos + EffortMarker.size();
    std::size_t end = first;
    int value = 0;
    while (end < notes.size() && IsDigit(notes[end])) {
        value = std::min(value * Decimal + (notes[end] - '0'), MostEffort + 1);
        ++end;
    }
    const bool leadingZero = end - first > 1 && notes[first] == '0';
    if (end == first || leadingZero || (end < notes.size() && IsWordByte(notes[end]))) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<int> PerceivedEffort(std::string_view notes) {
    for (std::size_t pos = 0; pos + EffortMarker.size() < notes.size(); ++pos) {
        if (Small(notes[pos]) != EffortMarker.front()) {
            continue;
        }
        if (const std::optional<int> effort = EffortAt(notes, pos);
            effort && *effort >= LeastEffort && *effort <= MostEffort) {
            return effort;
        }
    }
    return std::nullopt;
}

bool IsMarkNameByte(char byte) {
    return NameBytes()[static_cast<unsigned char>(byte)];
}

void FindMarks(std::string_view notes, char sign, std::vector<std::string_view> &names) {
    names.clear();
    for (std::size_t pos = notes.find(sign); pos != std::string_view::npos; pos = notes.find(sign, pos + 1)) {
        const std::string_view name = MarkAt(notes, pos);
        const auto same = [name](std::string_view seen) { return SameMarkName(seen, name); };
        if (!name.empty() && std::none_of(names.begin(), names.end(), same)) {
            names.push_back(name);
        }
    }
}

bool HasMark(std::string_view notes, char sign, std::string_view name) {
    for (std::size_t pos = notes.find(sign); pos != std::string_view::npos; pos = notes.find(sign, pos + 1)) {
        const std::string_view mark = MarkAt(notes, pos);
        if (!mark.empty() && SameMarkName(mark, name)) {
            return true;
        }
    }
    return false;
}

bool SameMarkName(std::string_view first, std::string_view second) {
    return std::equal(first.begin(), first.end(), second.begin(), second.end(),
                      [](char a, char b) { return Small(a) == Small(b); });
}

std::string MarkKey(std::string_view name) {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), Small);
    return key;
}

bool IsMarkName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), IsMarkNameByte);
}

} // namespace pq
