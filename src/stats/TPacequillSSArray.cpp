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

namespace {

constexpr std::size_t PrefixBytes = sizeof(std::uint64_t);
constexpr int BitsPerByte = 8;

// The first eight bytes as a big-endian number, zero-padded: comparing two prefixes orders two strings the same
// way as comparing their bytes, except that equal prefixes need the whole texts.
std::uint64_t Prefix(std::string_view text) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < PrefixBytes; ++i) {
        const auto byte = i < text.size() ? static_cast<unsigned char>(text[i]) : 0U;
        prefix = (prefix << BitsPerByte) | byte;
    }
    return prefix;
}

} // namespace

void TPacequillSSArray::Finish() {
    struct Keyed {
        std::uint64_t Prefix;
        Item Text;
    };
    const char *data = Buffer.data();
    std::vector<Keyed> keyed;
    keyed.reserve(Items.size());
    for (const Item &item : Items) {
        keyed.push_back({Prefix({data + item.Offset, item.Length}), item});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [data](const Keyed &left, const Keyed &right) {
        if (left.Prefix != right.Prefix) {
            return left.Prefix < right.Prefix;
        }
        return std::string_view(data + left.Text.Offset, left.Text.Length) <
               std::string_view(data + right.Text.Offset, right.Text.Length);
    });
    // The texts are laid out again in sorted order, so that walking the array reads memory front to back.
    std::string sorted;
    sorted.reserve(Buffer.size());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        const Item &item = keyed[i].Text;
        Items[i] = {sorted.size(), item.Length};
        sorted.append(data + item.Offset, item.Length);
    }
    Buffer = std::move(sorted);
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
