#include "stats/TPacequillSSArray.h"

#include <algorithm>

namespace pq {

// std::string_view compares through char_traits<char>, which orders bytes as unsigned char and puts a prefix
// first: the order these strings are kept in. Equal strings are equal byte for byte, so any sort keeps them "in
// the order in which they came".

namespace {

constexpr std::size_t PrefixBytes = sizeof(std::uint64_t);
constexpr int BitsPerByte = 8;
constexpr int LengthBits = 24;
constexpr int OffsetBits = 64 - LengthBits;
constexpr std::uint64_t LengthMask = (std::uint64_t{1} << LengthBits) - 1;
// The largest length field marks a text kept in the wide list; shorter texts are stored in the item itself.
constexpr std::uint64_t EscapeLength = LengthMask;
constexpr std::uint64_t OffsetLimit = std::uint64_t{1} << OffsetBits;

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

TPacequillSSArray::Item TPacequillSSArray::Store(std::string_view text) {
    const std::size_t offset = Buffer.size();
    Buffer.append(text);
    if (text.size() < EscapeLength && offset < OffsetLimit) {
        return (static_cast<std::uint64_t>(offset) << LengthBits) | text.size();
    }
    Wide.push_back({offset, text.size()});
    return (static_cast<std::uint64_t>(Wide.size() - 1) << LengthBits) | EscapeLength;
}

std::string_view TPacequillSSArray::Text(Item item) const {
    const std::uint64_t length = item & LengthMask;
    const std::uint64_t index = item >> LengthBits;
    if (length == EscapeLength) {
        const WideText &wide = Wide[index];
        return {Buffer.data() + wide.Offset, wide.Length};
    }
    return {Buffer.data() + index, length};
}

void TPacequillSSArray::Add(std::string_view text) {
    const auto place = std::upper_bound(Items.begin(), Items.end(), text,
                                        [this](std::string_view value, Item item) { return value < Text(item); });
    const auto index = place - Items.begin();
    const Item item = Store(text);
    Items.insert(Items.begin() + index, item);
}

void TPacequillSSArray::AppendUnsorted(std::string_view text) {
    Items.push_back(Store(text));
}

// The items are sorted with their prefixes beside them, so most comparisons touch no text; the texts stay where
// they are, so sorting costs no second copy of them.
void TPacequillSSArray::Finish() {
    struct Keyed {
        std::uint64_t Prefix;
        Item Text;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(Items.size());
    for (const Item item : Items) {
        keyed.push_back({Prefix(Text(item)), item});
    }
    std::sort(keyed.begin(), keyed.end(), [this](const Keyed &left, const Keyed &right) {
        if (left.Prefix != right.Prefix) {
            return left.Prefix < right.Prefix;
        }
        return Text(left.Text) < Text(right.Text);
    });
    std::transform(keyed.begin(), keyed.end(), Items.begin(), [](const Keyed &entry) { return entry.Text; });
}

void TPacequillSSArray::Reserve(std::size_t count, std::size_t bytes) {
    Items.reserve(count);
    Buffer.reserve(bytes);
}

std::string_view TPacequillSSArray::operator[](std::size_t index) const {
    return Text(Items[index]);
}

} // namespace pq
