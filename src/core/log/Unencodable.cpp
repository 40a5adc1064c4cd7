#include "log/Unencodable.h"

#include <cstdio>

namespace pq {

namespace {

// The code point that EncodeUtf8To1252 reports for bytes that are not UTF-8.
constexpr char32_t ReplacementCharacter = 0xFFFD;
constexpr char32_t FirstPrintable = 0x20;

constexpr char32_t OneByteLimit = 0x80;
constexpr char32_t TwoByteLimit = 0x800;
constexpr char32_t ThreeByteLimit = 0x10000;
constexpr unsigned TwoByteLead = 0xC0;
constexpr unsigned ThreeByteLead = 0xE0;
constexpr unsigned FourByteLead = 0xF0;
constexpr unsigned ContinuationLead = 0x80;
constexpr unsigned SixBits = 0x3F;
constexpr int BitsPerContinuation = 6;
constexpr std::size_t CodePointNameSize = 16;

char Continuation(char32_t c, int shift) {
    return static_cast<char>(ContinuationLead | ((c >> (shift * BitsPerContinuation)) & SixBits));
}

} // namespace

std::string Utf8OfCodePoint(char32_t c) {
    std::string out;
    if (c < OneByteLimit) {
        out.push_back(static_cast<char>(c));
    } else if (c < TwoByteLimit) {
        out = {static_cast<char>(TwoByteLead | (c >> BitsPerContinuation)), Continuation(c, 0)};
    } else if (c < ThreeByteLimit) {
        out = {static_cast<char>(ThreeByteLead | (c >> (2 * BitsPerContinuation))), Continuation(c, 1),
               Continuation(c, 0)};
    } else {
        out = {static_cast<char>(FourByteLead | (c >> (3 * BitsPerContinuation))), Continuation(c, 2),
               Continuation(c, 1), Continuation(c, 0)};
    }
    return out;
}

std::string DescribeUnencodable(char32_t character) {
    if (character == ReplacementCharacter) {
        return "bytes that are not UTF-8 (or the character U+FFFD), which Windows-1252 cannot hold";
    }
    char name[CodePointNameSize];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(character));
    // Put together by appending: GCC 12 at -O3 warns wrongly about a chain of + on a character literal here.
    std::string text = "the character ";
    if (character >= FirstPrintable) {
        text.append(1, '\'').append(Utf8OfCodePoint(character)).append("' ");
    }
    return text.append("(").append(name).append(") cannot be held by Windows-1252");
}

} // namespace pq
