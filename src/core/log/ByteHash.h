#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pq {

// The hash of a file's bytes that tells whether it changed. The file is cut into 8-byte words at offsets that are
// multiples of 8; each word is mixed with its number by a bijection and the results are summed, with the length.
// Two files of one size that differ within one word never hash alike. Since a sum does not care about order, the
// bytes may come in pieces of any size, and pieces of one file hashed apart (on threads of their own, say) add up
// to the hash of the whole.
class ByteHash {
public:
    // The hash of bytes that begin at the offset in the file.
    explicit ByteHash(std::uint64_t offset = 0) : Offset(offset) {}
    // Takes in the next bytes.
    void Feed(std::string_view bytes);
    // Takes in the hash of other bytes of the same file, none of them fed here.
    void Add(const ByteHash &other);
    // The hash of the bytes taken in so far.
    std::size_t Value() const;

private:
    // A word of which only some bytes were fed: those bytes in their places, the others zero.
    struct PartWord {
        std::uint64_t Index;
        std::uint64_t Bytes;
        unsigned Filled; // a bit for each byte fed
    };
    void AddPart(PartWord part);

    std::uint64_t Sum = 0;
    std::uint64_t Offset;     // where the next byte fed belongs
    std::uint64_t Length = 0; // how many bytes were taken in
    // The words cut by the ends of the pieces, until the bytes they lack come (the last word of the file, never).
    std::vector<PartWord> Parts;
};

} // namespace pq
