#include "log/CodePage1252.h"

#include <array>

namespace pq {

namespace {

constexpr unsigned char FirstSpecialByte = 0x80;
constexpr unsigned char FirstLatin1Byte = 0xA0;
constexpr char32_t Latin1End = 0x100;
constexpr char32_t ReplacementCharacter = 0xFFFD;
constexpr char32_t MaxCodePoint = 0x10FFFF;
constexpr char16_t HighSurrogateFirst = 0xD800;
constexpr char16_t LowSurrogateFirst = 0xDC00;
constexpr char16_t SurrogateEnd = 0xE000;
constexpr char32_t SupplementaryFirst = 0x10000;
constexpr int SurrogateShift = 10;

// The characters of bytes 0x80 to 0x9F. The five bytes the code page leaves undefined keep their own value.
constexpr std::array<char16_t, 32> SpecialCharacters = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// One code point from UTF-8 at pos, advancing pos; a malformed or overlong sequence, a surrogate or a value
// beyond U+10FFFF gives U+FFFD and consumes one byte.
char32_t NextUtf8(std::string_view text, std::size_t &pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
        minimum = SupplementaryFirst;
    } else {
        ++pos;
        return ReplacementCharacter;
    }
    if (text.size() - pos <= static_cast<std::size_t>(extra)) {
        ++pos;
        return ReplacementCharacter;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return ReplacementCharacter;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > MaxCodePoint || (c >= HighSurrogateFirst && c < SurrogateEnd)) {
        ++pos;
        return ReplacementCharacter;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return c;
}

} // namespace

char16_t DecodeByte1252(unsigned char byte) {
    if (byte >= FirstSpecialByte && byte < FirstLatin1Byte) {
        return SpecialCharacters[byte - FirstSpecialByte];
    }
    return byte;
}

std::u16string Decode1252(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        text.push_back(DecodeByte1252(static_cast<unsigned char>(byte)));
    }
    return text;
}

std::string Decode1252ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        AppendUtf8(text, DecodeByte1252(static_cast<unsigned char>(byte)));
    }
    return text;
}

std::optional<char> EncodeChar1252(char32_t codePoint) {
    if (codePoint < FirstSpecialByte || (codePoint >= FirstLatin1Byte && codePoint < Latin1End)) {
        return static_cast<char>(codePoint);
    }
    for (std::size_t i = 0; i < SpecialCharacters.size(); ++i) {
        if (SpecialCharacters[i] == codePoint) {
            return static_cast<char>(FirstSpecialByte + i);
        }
    }
    return std::nullopt;
}

namespace {

// Adds the byte of c to the result, or marks the result failed at c and its position; false when it failed.
bool AppendEncoded(Encoded1252 &result, char32_t c, std::size_t position) {
    const std::optional<char> byte = EncodeChar1252(c);
    if (!byte) {
        result.Ok = false;
        result.BadCharacter = c;
        result.BadPosition = position;
        return false;
    }
    result.Bytes.push_back(*byte);
    return true;
}

} // namespace

Encoded1252 Encode1252(std::u16string_view text) {
    Encoded1252 result;
    result.Bytes.reserve(text.size());
    std::size_t position = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++position) {
        char32_t c = text[i];
        const bool high = c >= HighSurrogateFirst && c < LowSurrogateFirst;
        if (high && i + 1 < text.size() && text[i + 1] >= LowSurrogateFirst && text[i + 1] < SurrogateEnd) {
            c = SupplementaryFirst + ((c - HighSurrogateFirst) << SurrogateShift) + (text[i + 1] - LowSurrogateFirst);
            ++i;
        }
        if (!AppendEncoded(result, c, position)) {
            return result;
        }
    }
    return result;
}

Encoded1252 EncodeUtf8To1252(std::string_view utf8) {
    Encoded1252 result;
    result.Bytes.reserve(utf8.size());
    std::size_t position = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++position) {
        const char32_t c = NextUtf8(utf8, pos);
        if (!AppendEncoded(result, c, position)) {
            return result;
        }
    }
    return result;
}

} // namespace pq
