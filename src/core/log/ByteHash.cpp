#include "log/ByteHash.h"

#include <algorithm>
#include <cstring>

namespace pq {

namespace {

constexpr std::size_t WordBytes = sizeof(std::uint64_t);
constexpr unsigned WholeWord = 0xFF;

// The bits of Filled for count bytes from the lane on.
unsigned Lanes(std::size_t lane, std::size_t count) {
    return ((1U << count) - 1) << lane;
}

// A bijection of the word for each index, spreading every bit of both over the result.
std::uint64_t Mix(std::uint64_t word, std::uint64_t index) {
    std::uint64_t mixed = (word ^ (index * 0x9E3779B97F4A7C15ULL)) * 0xBF58476D1CE4E5B9ULL;
    mixed ^= mixed >> 31;
    return mixed * 0x94D049BB133111EBULL;
}

} // namespace

// A word whose bytes have all come moves into the sum.
void ByteHash::AddPart(PartWord part) {
    const auto known =
        std::find_if(Parts.begin(), Parts.end(), [&](const PartWord &word) { return word.Index == part.Index; });
    if (known != Parts.end()) {
        part.Bytes |= known->Bytes;
        part.Filled |= known->Filled;
        Parts.erase(known);
    }
    if (part.Filled == WholeWord) {
        Sum += Mix(part.Bytes, part.Index);
    } else {
        Parts.push_back(part);
    }
}

void ByteHash::Feed(std::string_view bytes) {
    Length += bytes.size();
    // The bytes up to the next word boundary go into the word they belong to, as far as they reach.
    const std::size_t lane = Offset % WordBytes;
    if (lane != 0 && !bytes.empty()) {
        const std::size_t take = std::min(WordBytes - lane, bytes.size());
        std::uint64_t word = 0;
        std::memcpy(reinterpret_cast<char *>(&word) + lane, bytes.data(), take);
        AddPart({Offset / WordBytes, word, Lanes(lane, take)});
        Offset += take;
        bytes.remove_prefix(take);
    }
    std::uint64_t index = Offset / WordBytes;
    std::uint64_t sum = Sum;
    std::size_t i = 0;
    for (; i + WordBytes <= bytes.size(); i += WordBytes) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof(word));
        sum += Mix(word, index++);
    }
    Sum = sum;
    if (i < bytes.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, bytes.size() - i);
        AddPart({index, word, Lanes(0, bytes.size() - i)});
    }
    Offset += bytes.size();
}

void ByteHash::Add(const ByteHash &other) {
    Sum += other.Sum;
    Length += other.Length;
    for (const PartWord &part : other.Parts) {
        AddPart(part);
    }
}

// A word cut by a piece's end counts once, whole, with the bytes of every piece that holds some of it.
std::size_t ByteHash::Value() const {
    std::uint64_t hash = Sum + Mix(Length, ~std::uint64_t{0});
    for (const PartWord &part : Parts) {
        hash += Mix(part.Bytes, part.Index);
    }
    return hash;
}

} // namespace pq
