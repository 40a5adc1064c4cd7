#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pq {

// The hash of a file's bytes that tells whether it changed: FNV-1a taken a word at a time. Each step is a bijection
// of the hash for a given word, so two files of one size that differ anywhere never hash alike. The bytes may come
// in pieces of any size: the hash is that of them all, one after the other.
class ByteHash {
public:
    void Feed(std::string_view bytes);
    // The hash of the bytes fed so far.
    std::size_t Value() const;

private:
    std::size_t Hash = 14695981039346656037ULL;
    std::uint64_t Pending = 0;    // the bytes of a word not yet complete, in the order they came
    std::size_t PendingBytes = 0; // how many
};

} // namespace pq
