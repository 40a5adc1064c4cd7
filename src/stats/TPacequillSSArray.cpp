#include "stats/TPacequillSSArray.h"

#include <algorithm>

namespace pq {

// std::string_view compares through char_traits<char>, which orders bytes as unsigned char and puts a prefix
// first: the order these strings are kept in.

void TPacequillSSArray::Add(std::string_view text) {
    const auto place =
        std::upper_bound(Items.begin(), Items.end(), text, [this](std::string_view value, const Item &item) {
            return value < std::string_view(Buffer.data() + item.Offset, item.Length);
        });
    const Item item{Buffer.size(), static_cast<std::uint32_t>(text.size())};
    Buffer.append(text);
    Items.insert(place, item);
}

void TPacequillSSArray::AppendUnsorted(std::string_view text) {
    Items.push_back({Buffer.size(), static_cast<std::uint32_t>(text.size())});
    Buffer.append(text);
}

void TPacequillSSArray::Finish() {
    const char *data = Buffer.data();
    std::stable_sort(Items.begin(), Items.end(), [data](const Item &left, const Item &right) {
        return std::string_view(data + left.Offset, left.Length) < std::string_view(data + right.Offset, right.Length);
    });
}

void TPacequillSSArray::Reserve(std::size_t count, std::size_t bytes) {
    Items.reserve(count);
    Buffer.reserve(bytes);
}

std::string_view TPacequillSSArray::operator[](std::size_t index) const {
    const Item &item = Items[index];
    return {Buffer.data() + item.Offset, item.Length};
}

} // namespace pq
