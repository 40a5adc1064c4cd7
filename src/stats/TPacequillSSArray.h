#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Strings kept in ascending byte order (unsigned, case-sensitive, a prefix first). Equal strings keep the order
// in which they came. Texts share one buffer and each string costs one 8-byte item beside its bytes; the bulk
// constructor sorts once in O(n log n).
class TPacequillSSArray {
public:
    TPacequillSSArray() = default;

    // Inserts after every string that compares less than or equal to it.
    void Add(std::string_view text);

    // Appends without ordering; Finish sorts what was appended, stably. For building in bulk: call Finish before
    // reading or adding in order.
    void AppendUnsorted(std::string_view text);
    void Finish();

    // Room for a number of strings and their bytes, so that building in bulk does not reallocate.
    void Reserve(std::size_t count, std::size_t bytes);

    std::size_t Size() const { return Items.size(); }
    bool Empty() const { return Items.empty(); }
    // Valid until the next string is added.
    std::string_view operator[](std::size_t index) const;

private:
    // An item packs a text's offset into the upper bits and its length into the lower ones. A text too long or too
    // far into the buffer for them is kept in Wide instead; its item then holds the index in Wide and the escape
    // length.
    using Item = std::uint64_t;
    struct WideText {
        std::size_t Offset;
        std::size_t Length;
    };
    Item Store(std::string_view text);
    std::string_view Text(Item item) const;

    std::string Buffer;
    std::vector<Item> Items;
    std::vector<WideText> Wide;
};

} // namespace pq
