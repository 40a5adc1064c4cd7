#include "log/ByteHash.h"

#include <algorithm>
#include <cstring>

namespace pq {

namespace {

constexpr std::size_t HashPrime = 1099511628211ULL;
constexpr std::size_t WordBytes = sizeof(std::uint64_t);

} // namespace

void ByteHash::Feed(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    std::size_t i = 0;
    if (PendingBytes > 0) {
        const std::size_t take = std::min(WordBytes - PendingBytes, bytes.size());
        std::memcpy(reinterpret_cast<char *>(&Pending) + PendingBytes, bytes.data(), take);
        PendingBytes += take;
        i = take;
        if (PendingBytes < WordBytes) {
            return;
        }
        Hash = (Hash ^ Pending) * HashPrime;
        PendingBytes = 0;
    }
    for (; i + WordBytes <= bytes.size(); i += WordBytes) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof(word));
        Hash = (Hash ^ word) * HashPrime;
    }
    PendingBytes = bytes.size() - i;
    if (PendingBytes > 0) {
        std::memcpy(&Pending, bytes.data() + i, PendingBytes);
    }
}

// The bytes after the last whole word go in one at a time.
std::size_t ByteHash::Value() const {
    std::size_t hash = Hash;
    const auto *tail = reinterpret_cast<const unsigned char *>(&Pending);
    for (std::size_t i = 0; i < PendingBytes; ++i) {
        hash = (hash ^ tail[i]) * HashPrime;
    }
    return hash;
}

} // namespace pq
