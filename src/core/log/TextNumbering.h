#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pq {

// Numbers distinct texts in the order they are first seen: 0, 1, 2 and so on. An open-addressing table of the
// texts' numbers; the texts themselves are not copied, so they must outlive the numbering. Made for a column of a
// big log, where a million rows hold a few thousand distinct texts.
class TextNumbering {
public:
    // Room for this many distinct texts before the table grows.
    explicit TextNumbering(std::size_t expected = 0);

    // The text's number; the next number when the text is new.
    int Number(std::string_view text);
    // The distinct texts, each at its number.
    const std::vector<std::string_view> &Texts() const { return Distinct; }

    static std::uint64_t Hash(std::string_view text);

private:
    void Resize(std::size_t slots);

    std::vector<int> Slots; // 1 + a text's number, 0 where free; the size is a power of two
    std::vector<std::string_view> Distinct;
    std::vector<std::uint64_t> Hashes; // of each distinct text
};

} // namespace pq
