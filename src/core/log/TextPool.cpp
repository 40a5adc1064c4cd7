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

template <class Word> std::uint64_t Load(const char *bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

} // namespace

// Eight bytes at a time, the last word overlapping the one before it (a short text is read as two overlapping
// halves or three bytes); the length goes in too, so that texts that overlap alike or differ only in trailing zero
// bytes differ. Every load has a fixed size, so none calls a library routine.
std::uint64_t TextHash(std::string_view text) {
    constexpr std::size_t wordBytes = sizeof(std::uint64_t);
    constexpr std::size_t halfBytes = sizeof(std::uint32_t);
    constexpr int halfBits = 32;
    constexpr int byteBits = 8;
    const char *data = text.data();
    const std::size_t size = text.size();
    std::uint64_t hash = HashSeed ^ size;
    if (size >= wordBytes) {
        for (std::size_t pos = 0; pos + wordBytes < size; pos += wordBytes) {
            hash = Mix(hash, Load<std::uint64_t>(data + pos));
        }
        hash = Mix(hash, Load<std::uint64_t>(data + size - wordBytes));
    } else if (size >= halfBytes) {
        hash = Mix(hash, (Load<std::uint32_t>(data) << halfBits) | Load<std::uint32_t>(data + size - halfBytes));
    } else if (size > 0) {
        const auto byte = [data](std::size_t at) {
            return static_cast<std::uint64_t>(static_cast<unsigned char>(data[at]));
        };
        hash = Mix(hash, (byte(0) << (2 * byteBits)) | (byte(size / 2) << byteBits) | byte(size - 1));
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
