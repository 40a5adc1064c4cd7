#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// Windows-1252. Every byte decodes to one UTF-16 unit (the five bytes the code page leaves undefined map to the
// C1 controls of the same value), so decoding never fails and encoding the result gives the same bytes back.
char16_t DecodeByte1252(unsigned char byte);
std::u16string Decode1252(std::string_view bytes);
std::string Decode1252ToUtf8(std::string_view bytes);

// The byte for one Unicode code point, or nothing when the code page cannot hold it.
std::optional<char> EncodeChar1252(char32_t codePoint);

struct Encoded1252 {
    std::string Bytes; // the encoded text, complete only when Ok
    bool Ok = true;
    char32_t BadCharacter = 0;   // the first character the code page cannot hold
    std::size_t BadPosition = 0; // its index in code points
};
Encoded1252 Encode1252(std::u16string_view text);
// UTF-8 input; a malformed sequence is reported as U+FFFD at its place.
Encoded1252 EncodeUtf8To1252(std::string_view utf8);

} // namespace pq
