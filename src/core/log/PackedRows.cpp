#include "log/PackedRows.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <optional>

namespace pq {

namespace {

constexpr int WordBits = 64;
constexpr int WideBits = 32;
// The bits each column starts with, a word in all: dates of 179 years, 16,384 distances, 32,768 times and half a
// million notes fit before the columns are laid out anew.
constexpr std::array<int, ColumnCount> FirstBits = {16, 14, 15, 19};

int BitsFor(std::uint32_t largest) {
    return std::max(1, static_cast<int>(std::bit_width(largest)));
}

} // namespace

PackedRows::PackedRows() {
    Lay(FirstBits);
}

PackedRows::PackedRows(PackedRows &&other) noexcept
    : Words(std::move(other.Words)), Count(std::exchange(other.Count, 0)), WordsPerRow(other.WordsPerRow),
      Word(other.Word), Shift(other.Shift), Mask(other.Mask) {
    other.Clear();
}

PackedRows &PackedRows::operator=(PackedRows &&other) noexcept {
    if (this != &other) {
        Words = std::move(other.Words);
        Count = std::exchange(other.Count, 0);
        WordsPerRow = other.WordsPerRow;
        Word = other.Word;
        Shift = other.Shift;
        Mask = other.Mask;
        other.Clear();
    }
    return *this;
}

PackedRows::Ids PackedRows::RowIds(std::size_t row) const {
    Ids ids;
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        ids[c] = Id(row, c);
    }
    return ids;
}

void PackedRows::Append(const Ids &ids) {
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        if (ids[c] > Mask[c]) {
            Fit(ids);
            break;
        }
    }
    std::uint64_t words[2];
    Pack(words, ids);
    Words.push_back(words[0]);
    if (WordsPerRow > 1) {
        Words.push_back(words[1]);
    }
    ++Count;
}

void PackedRows::Fit(const Ids &largest) {
    bool fits = true;
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        fits = fits && largest[c] <= Mask[c];
    }
    if (fits) {
        return;
    }
    // Each column gets the bits the largest number it holds or is to hold needs, and the bits to spare go round
    // the columns, those that ran out first, so that the next layout is a while off.
    Ids held = largest;
    for (std::size_t row = 0; row < Count; ++row) {
        for (std::size_t c = 0; c < ColumnCount; ++c) {
            held[c] = std::max(held[c], Id(row, c));
        }
    }
    std::array<int, ColumnCount> bits;
    std::transform(held.begin(), held.end(), bits.begin(), BitsFor);
    int spare = WordBits - std::accumulate(bits.begin(), bits.end(), 0);
    if (spare < 0) {
        Lay(std::nullopt);
        return;
    }
    std::array<std::size_t, ColumnCount> order;
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_partition(order.begin(), order.end(), [&](std::size_t c) { return largest[c] > Mask[c]; });
    for (std::size_t turn = 0; spare > 0; ++turn, --spare) {
        ++bits[order[turn % ColumnCount]];
    }
    Lay(bits);
}

void PackedRows::Set(std::size_t row, const Ids &ids) {
    Pack(&Words[row * WordsPerRow], ids);
}

void PackedRows::GrowUnset(std::size_t rows) {
    Count += rows;
    Words.resize(Count * WordsPerRow);
}

void PackedRows::Reserve(std::size_t rows) {
    Words.reserve(rows * WordsPerRow);
}

void PackedRows::Erase(std::size_t row) {
    const auto first = Words.begin() + static_cast<std::ptrdiff_t>(row * WordsPerRow);
    Words.erase(first, first + static_cast<std::ptrdiff_t>(WordsPerRow));
    --Count;
}

void PackedRows::Clear() {
    Words.clear();
    Words.shrink_to_fit();
    Count = 0;
    Lay(FirstBits);
}

PackedRows::Record PackedRows::Take(std::size_t row) const {
    const std::uint64_t *words = &Words[row * WordsPerRow];
    return {{words[0], WordsPerRow > 1 ? words[1] : 0}};
}

void PackedRows::Put(std::size_t row, const Record &record) {
    std::uint64_t *words = &Words[row * WordsPerRow];
    words[0] = record.Words[0];
    if (WordsPerRow > 1) {
        words[1] = record.Words[1];
    }
}

void PackedRows::Lay(const std::optional<std::array<int, ColumnCount>> &bits) {
    const std::size_t wordsBefore = WordsPerRow;
    const std::array<std::size_t, ColumnCount> wordBefore = Word;
    const std::array<int, ColumnCount> shiftBefore = Shift;
    const std::array<std::uint64_t, ColumnCount> maskBefore = Mask;
    int shift = 0;
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        const int width = bits ? (*bits)[c] : WideBits;
        Word[c] = bits ? 0 : c / 2;
        Shift[c] = bits ? shift : WideBits * static_cast<int>(c % 2);
        Mask[c] = (std::uint64_t{1} << width) - 1;
        shift += width;
    }
    WordsPerRow = bits ? 1 : 2;
    Words.resize(Count * std::max(wordsBefore, WordsPerRow));
    // Backwards: a row's new place is never before its old one, so no row is overwritten before it is read.
    for (std::size_t row = Count; row-- > 0;) {
        Ids ids;
        for (std::size_t c = 0; c < ColumnCount; ++c) {
            ids[c] = static_cast<std::uint32_t>((Words[row * wordsBefore + wordBefore[c]] >> shiftBefore[c]) &
                                                maskBefore[c]);
        }
        Pack(&Words[row * WordsPerRow], ids);
    }
    Words.resize(Count * WordsPerRow);
}

void PackedRows::Pack(std::uint64_t *row, const Ids &ids) const {
    std::uint64_t words[2] = {0, 0};
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        words[Word[c]] |= static_cast<std::uint64_t>(ids[c]) << Shift[c];
    }
    std::copy_n(words, WordsPerRow, row);
}

} // namespace pq
