#include "log/TextPool.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace pq {

namespace {

constexpr std::size_t FirstSlots = 1024;
// The table doubles before it is half full, so a search meets a free slot soon.
constexpr std::size_t LoadDivisor = 2;
constexpr std::uint64_t HashSeed = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t HashMultiplier = 0xBF58476D1CE4E5B9ULL;
constexpr int HashShift = 31;

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * HashMultiplier;
    return hash ^ (hash >> HashShift);
}

} // namespace

// Eight bytes at a time; the length goes in too, so that texts differing only in trailing zero bytes differ.
std::uint64_t TextHash(std::string_view text) {
    std::uint64_t hash = HashSeed ^ text.size();
    std::size_t pos = 0;
    for (; pos + sizeof(std::uint64_t) <= text.size(); pos += sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + pos, sizeof word);
        hash = Mix(hash, word);
    }
    if (pos < text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + pos, text.size() - pos);
        hash = Mix(hash, word);
    }
    return Mix(hash, 0);
}

std::uint32_t TextPool::Intern(std::string_view text) {
    if ((Size() + 1) * LoadDivisor > Slots.size()) {
        Grow();
    }
    const std::size_t mask = Slots.size() - 1;
    for (std::size_t slot = TextHash(text) & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = Slots[slot];
        if (entry == 0) {
            if (Size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
                throw std::length_error("TextPool: too many texts");
            }
            Bytes.append(text);
            Starts.push_back(Bytes.size());
            Slots[slot] = static_cast<std::uint32_t>(Size());
            return Slots[slot] - 1;
        }
        if (Text(entry - 1) == text) {
            return entry - 1;
        }
    }
}

void TextPool::Grow() {
    Slots.assign(Slots.empty() ? FirstSlots : Slots.size() * 2, 0);
    const std::size_t mask = Slots.size() - 1;
    for (std::uint32_t id = 0; id < Size(); ++id) {
        std::size_t slot = TextHash(Text(id)) & mask;
        while (Slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        Slots[slot] = id + 1;
    }
}

} // namespace pq
