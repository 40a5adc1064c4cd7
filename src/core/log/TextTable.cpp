#include "log/TextTable.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace pq {

namespace {

constexpr std::size_t FirstSlots = 256;
// The table doubles before it is half full, so a search meets a free slot soon.
constexpr std::size_t LoadDivisor = 2;
// Text bytes are carved out of blocks that grow from the smaller size to the larger one, so a short log stays
// small; a text larger than a block gets a block of its own.
constexpr std::size_t MinimumBlockSize = std::size_t{4} << 10;
constexpr std::size_t DefaultBlockSize = std::size_t{1} << 20;

template <class Word> Word Load(const char *bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Whether two texts are equal. A text of up to 16 bytes, as most texts of a log are, is compared in two fixed-size
// loads of each, overlapping where it is shorter, so the comparison calls no library routine.
bool SameText(std::string_view a, std::string_view b) {
    const std::size_t size = a.size();
    if (size != b.size()) {
        return false;
    }
    constexpr std::size_t word = sizeof(std::uint64_t);
    constexpr std::size_t half = sizeof(std::uint32_t);
    if (size > 2 * word) {
        return std::memcmp(a.data(), b.data(), size) == 0;
    }
    if (size >= word) {
        return Load<std::uint64_t>(a.data()) == Load<std::uint64_t>(b.data()) &&
               Load<std::uint64_t>(a.data() + size - word) == Load<std::uint64_t>(b.data() + size - word);
    }
    if (size >= half) {
        return Load<std::uint32_t>(a.data()) == Load<std::uint32_t>(b.data()) &&
               Load<std::uint32_t>(a.data() + size - half) == Load<std::uint32_t>(b.data() + size - half);
    }
    for (std::size_t i = 0; i < size; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

TextTable::TextTable() = default;

// The copy keeps every number; its texts are packed into one block.
TextTable::TextTable(const TextTable &other) : Spans(other.Spans), Slots(other.Slots) {
    std::size_t bytes = 0;
    for (const Span &span : other.Spans) {
        bytes += span.Length;
    }
    if (bytes == 0) {
        return;
    }
    Blocks.push_back(std::unique_ptr<char[]>(new char[bytes]));
    BlockSize = bytes;
    for (Span &span : Spans) {
        if (span.Length > 0) {
            span.Data = Store({span.Data, span.Length});
        }
    }
}

TextTable &TextTable::operator=(const TextTable &other) {
    if (this != &other) {
        TextTable copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TextTable::TextTable(TextTable &&other) noexcept
    : Spans(std::move(other.Spans)), Slots(std::move(other.Slots)), Blocks(std::move(other.Blocks)),
      BlockUsed(std::exchange(other.BlockUsed, 0)), BlockSize(std::exchange(other.BlockSize, 0)) {
    other.Clear();
}

TextTable &TextTable::operator=(TextTable &&other) noexcept {
    if (this != &other) {
        Spans = std::move(other.Spans);
        Slots = std::move(other.Slots);
        Blocks = std::move(other.Blocks);
        BlockUsed = std::exchange(other.BlockUsed, 0);
        BlockSize = std::exchange(other.BlockSize, 0);
        other.Clear();
    }
    return *this;
}

TextTable::~TextTable() = default;

std::uint32_t TextTable::Intern(std::string_view text, std::uint64_t hash) {
    if ((Spans.size() + 1) * LoadDivisor > Slots.size()) {
        Grow();
    }
    const std::size_t mask = Slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = Slots[slot];
        if (entry == 0) {
            if (Spans.size() >= std::numeric_limits<std::uint32_t>::max() - 1 ||
                text.size() > std::numeric_limits<std::uint32_t>::max()) {
                throw std::length_error("TextTable: too many texts or a text too long");
            }
            Spans.push_back({Store(text), static_cast<std::uint32_t>(text.size())});
            Slots[slot] = static_cast<std::uint32_t>(Spans.size());
            return Slots[slot] - 1;
        }
        if (SameText(Text(entry - 1), text)) {
            return entry - 1;
        }
    }
}

void TextTable::Clear() {
    Spans.clear();
    Spans.shrink_to_fit();
    Slots.clear();
    Slots.shrink_to_fit();
    Blocks.clear();
    BlockUsed = 0;
    BlockSize = 0;
}

const char *TextTable::Store(std::string_view text) {
    if (text.empty()) {
        return nullptr;
    }
    if (text.size() <= BlockSize - BlockUsed) {
        char *data = Blocks.back().get() + BlockUsed;
        BlockUsed += text.size();
        std::memcpy(data, text.data(), text.size());
        return data;
    }
    if (text.size() > DefaultBlockSize) {
        // A block of its own, kept out of the way of the block still being filled.
        auto own = std::unique_ptr<char[]>(new char[text.size()]);
        std::memcpy(own.get(), text.data(), text.size());
        const char *data = own.get();
        Blocks.insert(Blocks.empty() ? Blocks.end() : Blocks.end() - 1, std::move(own));
        return data;
    }
    const std::size_t size = std::clamp(BlockSize * 2, std::max(MinimumBlockSize, text.size()), DefaultBlockSize);
    Blocks.push_back(std::unique_ptr<char[]>(new char[size]));
    BlockSize = size;
    BlockUsed = text.size();
    std::memcpy(Blocks.back().get(), text.data(), text.size());
    return Blocks.back().get();
}

void TextTable::Grow() {
    Slots.assign(Slots.empty() ? FirstSlots : Slots.size() * 2, 0);
    const std::size_t mask = Slots.size() - 1;
    for (std::uint32_t id = 0; id < Spans.size(); ++id) {
        std::size_t slot = TextHash(Text(id)) & mask;
        while (Slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        Slots[slot] = id + 1;
    }
}

} // namespace pq
