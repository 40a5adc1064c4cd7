#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Strings kept in ascending byte order (unsigned, case-sensitive, a prefix first). Equal strings keep the order
// in which they came. Texts share one buffer; the bulk constructor sorts once in O(n log n).
class TPacequillSSArray {
public:
    TPacequillSSArray() = default;

    // Inserts after every string that compares less than or equal to it.
    void Add(std::string_view text);

    // Appends without ordering; Finish sorts what was appended, stably. For building in bulk.
    void AppendUnsorted(std::string_view text);
    void Finish();

    std::size_t Size() const { return Items.size(); }
    bool Empty() const { return Items.empty(); }
    std::string_view operator[](std::size_t index) const;

private:
    struct Item {
        std::uint64_t Offset;
        std::uint32_t Length;
    };
    std::string Buffer;
    std::vector<Item> Items;
};

} // namespace pq
