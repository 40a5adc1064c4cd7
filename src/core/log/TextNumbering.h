#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Numbers distinct texts in the order they are first seen: 0, 1, 2 and so on. An open-addressing table of the
// texts' numbers, with a copy of each distinct text packed beside the others: made for a column of a big log, where
// a million rows hold a few thousand distinct texts, so that looking a text up stays within a small, cached table
// rather than reaching back into the rows.
class TextNumbering {
public:
    // Room for this many distinct texts before the table grows.
    explicit TextNumbering(std::size_t expected = 0);

    // The text's number; the next number when the text is new.
    int Number(std::string_view text);
    std::size_t Count() const { return Hashes.size(); }
    // The distinct text of a number below Count().
    std::string_view Text(std::size_t number) const {
        return std::string_view(Bytes).substr(Starts[number], Starts[number + 1] - Starts[number]);
    }

    static std::uint64_t Hash(std::string_view text);

private:
    void Resize(std::size_t slots);

    std::vector<int> Slots;             // 1 + a text's number, 0 where free; the size is a power of two
    std::string Bytes;                  // the distinct texts one after another
    std::vector<std::size_t> Starts{0}; // where each text starts in Bytes, and where the last one ends
    std::vector<std::uint64_t> Hashes;  // of each distinct text
};

} // namespace pq
