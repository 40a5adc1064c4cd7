#include "log/TextNumbering.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pq {

namespace {

constexpr std::size_t MinimumSlots = 64;
// The table grows before more than half its slots are taken, which keeps probe runs short.
constexpr std::size_t SlotsPerText = 2;
// Multipliers of a 64-bit multiply-and-fold hash: odd constants with well-mixed bits.
constexpr std::uint64_t WordMultiplier = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t FinalMultiplier = 0xFF51AFD7ED558CCDULL;
constexpr int FoldShift = 32;

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * WordMultiplier;
    return hash ^ (hash >> FoldShift);
}

} // namespace

TextNumbering::TextNumbering(std::size_t expected) {
    Resize(std::bit_ceil(std::max(MinimumSlots, expected * SlotsPerText)));
}

std::uint64_t TextNumbering::Hash(std::string_view text) {
    std::uint64_t hash = text.size();
    std::size_t at = 0;
    for (; at + sizeof(std::uint64_t) <= text.size(); at += sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, sizeof word);
        hash = Mix(hash, word);
    }
    if (at < text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, text.size() - at);
        hash = Mix(hash, word);
    }
    hash *= FinalMultiplier;
    return hash ^ (hash >> FoldShift);
}

int TextNumbering::Number(std::string_view text) {
    const std::uint64_t hash = Hash(text);
    const std::size_t mask = Slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const int taken = Slots[slot];
        if (taken == 0) {
            const auto number = static_cast<int>(Hashes.size());
            Bytes.append(text);
            Starts.push_back(Bytes.size());
            Hashes.push_back(hash);
            Slots[slot] = number + 1;
            if (Hashes.size() * SlotsPerText > Slots.size()) {
                Resize(Slots.size() * 2);
            }
            return number;
        }
        const auto number = static_cast<std::size_t>(taken - 1);
        if (Hashes[number] == hash && Text(number) == text) {
            return taken - 1;
        }
    }
}

void TextNumbering::Resize(std::size_t slots) {
    Slots.assign(slots, 0);
    const std::size_t mask = slots - 1;
    for (std::size_t number = 0; number < Hashes.size(); ++number) {
        std::size_t slot = Hashes[number] & mask;
        while (Slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        Slots[slot] = static_cast<int>(number) + 1;
    }
}

} // namespace pq
