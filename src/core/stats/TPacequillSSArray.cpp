#include "stats/TPacequillSSArray.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <stdexcept>

#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

// std::string_view compares through char_traits<char>, which orders bytes as unsigned char and puts a prefix
// first: the order these strings are kept in. Equal strings are equal byte for byte, so any sort keeps them "in
// the order in which they came".

namespace {

constexpr std::size_t PrefixBytes = sizeof(std::uint64_t);
constexpr int BitsPerByte = 8;
constexpr int LengthBits = 24;
constexpr int OffsetBits = 63 - LengthBits;
constexpr std::uint64_t LengthMask = (std::uint64_t{1} << LengthBits) - 1;
// The largest length field marks a text kept in the wide list; shorter texts are stored in the item itself.
constexpr std::uint64_t EscapeLength = LengthMask;
constexpr std::uint64_t OffsetLimit = std::uint64_t{1} << OffsetBits;
constexpr std::uint64_t RowKeyFlag = std::uint64_t{1} << 63;
constexpr int RowBits = 32;
constexpr std::uint64_t RowMask = (std::uint64_t{1} << RowBits) - 1;
// How far ahead of a row's texts its record is fetched: the texts are found through the record.
constexpr std::size_t RecordLead = 8;

bool IsRowKey(std::uint64_t item) {
    return (item & RowKeyFlag) != 0;
}

int RowOf(std::uint64_t item) {
    return static_cast<int>(item & RowMask);
}

int DayOf(std::uint64_t item) {
    return static_cast<int>((item & ~RowKeyFlag) >> RowBits);
}

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

// The part of a row key after its day number and weekday: Date, tab, cut Distance, tab, cut Time.
constexpr std::size_t TailParts = 5;
using KeyTail = std::string_view[TailParts];

void TailOf(const LogList &rows, int row, KeyTail &tail) {
    static constexpr std::string_view Separator(&KeySeparator, 1);
    tail[0] = rows.Text(row, DateColumn);
    tail[1] = Separator;
    tail[2] = rows.Text(row, DistanceColumn).substr(0, KeyDistanceWidth);
    tail[3] = Separator;
    tail[4] = rows.Text(row, TimeColumn).substr(0, KeyTimeWidth);
}

// Compares two lists of texts as if each list were joined into one text.
int CompareJoined(const KeyTail &left, const KeyTail &right) {
    std::size_t li = 0;
    std::size_t ri = 0;
    std::size_t lpos = 0;
    std::size_t rpos = 0;
    for (;;) {
        while (li < TailParts && lpos == left[li].size()) {
            ++li;
            lpos = 0;
        }
        while (ri < TailParts && rpos == right[ri].size()) {
            ++ri;
            rpos = 0;
        }
        if (li == TailParts || ri == TailParts) {
            return (li == TailParts ? 0 : 1) - (ri == TailParts ? 0 : 1);
        }
        const std::size_t count = std::min(left[li].size() - lpos, right[ri].size() - rpos);
        if (const int order = std::memcmp(left[li].data() + lpos, right[ri].data() + rpos, count); order != 0) {
            return order;
        }
        lpos += count;
        rpos += count;
    }
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

std::string_view TPacequillSSArray::Text(Item item, std::string &scratch) const {
    if (IsRowKey(item)) {
        const int row = RowOf(item);
        scratch.clear();
        pq::AppendRowKey(scratch, DayOf(item), Rows->Text(row, DateColumn), Rows->Text(row, DistanceColumn),
                         Rows->Text(row, TimeColumn));
        return scratch;
    }
    const std::uint64_t length = item & LengthMask;
    const std::uint64_t index = item >> LengthBits;
    if (length == EscapeLength) {
        const WideText &wide = Wide[index];
        return {Buffer.data() + wide.Offset, wide.Length};
    }
    return {Buffer.data() + index, length};
}

void TPacequillSSArray::Add(std::string_view text) {
    // The text may be a view of a string read from this array, so it is kept apart before anything is stored.
    const std::string added(text);
    std::string scratch;
    const auto place = std::upper_bound(Items.begin(), Items.end(), std::string_view(added),
                                        [&](std::string_view value, Item item) { return value < Text(item, scratch); });
    const auto index = place - Items.begin();
    const Item item = Store(added);
    Items.insert(Items.begin() + index, item);
}

void TPacequillSSArray::AppendUnsorted(std::string_view text) {
    Items.push_back(Store(text));
}

void TPacequillSSArray::AppendRowKey(int row, int dayNumber) {
    if (Rows == nullptr || row < 0 || row >= Rows->RowCount()) {
        throw std::out_of_range("TPacequillSSArray: no such row");
    }
    if (dayNumber < SmallestKeyDayNumber || dayNumber > LargestKeyDayNumber) {
        throw std::out_of_range("TPacequillSSArray: day number outside a key");
    }
    Items.push_back(RowKeyFlag | (static_cast<std::uint64_t>(dayNumber) << RowBits) | static_cast<std::uint32_t>(row));
}

// Row keys begin with their day number, so they are first moved in place into one bucket per day, which touches
// no text and needs no second array; then the keys of each day are put in order by their texts, each row's texts
// looked up once. Keys that compare equal are the same bytes, so their order cannot show.
void TPacequillSSArray::SortRowKeys() {
    const std::size_t days = static_cast<std::size_t>(LargestKeyDayNumber) + 1;
    std::vector<std::size_t> ends(days, 0);
    for (const Item item : Items) {
        ++ends[static_cast<std::size_t>(DayOf(item))];
    }
    std::partial_sum(ends.begin(), ends.end(), ends.begin());
    // The next unsettled place of each day's bucket: a key found there is swapped into its own day's bucket.
    std::vector<std::size_t> next(days, 0);
    std::copy(ends.begin(), ends.end() - 1, next.begin() + 1);
    for (std::size_t day = 0; day < days; ++day) {
        while (next[day] < ends[day]) {
            const auto home = static_cast<std::size_t>(DayOf(Items[next[day]]));
            if (home == day) {
                ++next[day];
            } else {
                std::swap(Items[next[day]], Items[next[home]++]);
            }
        }
    }

    struct Keyed {
        KeyTail Tail;
        Item Key;
    };
    std::vector<Keyed> day;
    for (auto first = Items.begin(); first != Items.end();) {
        const int dayNumber = DayOf(*first);
        const auto last = std::find_if(first, Items.end(), [dayNumber](Item item) { return DayOf(item) != dayNumber; });
        if (last - first > 1) {
            day.resize(static_cast<std::size_t>(last - first));
            for (std::size_t i = 0; i < day.size(); ++i) {
                day[i].Key = first[static_cast<std::ptrdiff_t>(i)];
                TailOf(*Rows, RowOf(day[i].Key), day[i].Tail);
            }
            std::sort(day.begin(), day.end(),
                      [](const Keyed &left, const Keyed &right) { return CompareJoined(left.Tail, right.Tail) < 0; });
            std::transform(day.begin(), day.end(), first, [](const Keyed &keyed) { return keyed.Key; });
        }
        first = last;
    }
}

// Texts are sorted with their prefixes beside them, so most comparisons touch no text; the texts stay where they
// are, so sorting costs no second copy of them.
void TPacequillSSArray::Finish() {
    if (std::all_of(Items.begin(), Items.end(), IsRowKey)) {
        SortRowKeys();
        return;
    }
    struct Keyed {
        std::uint64_t Prefix;
        Item Text;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(Items.size());
    std::string scratch;
    for (const Item item : Items) {
        keyed.push_back({Prefix(Text(item, scratch)), item});
    }
    std::string leftScratch;
    std::string rightScratch;
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed &left, const Keyed &right) {
        if (left.Prefix != right.Prefix) {
            return left.Prefix < right.Prefix;
        }
        return Text(left.Text, leftScratch) < Text(right.Text, rightScratch);
    });
    std::transform(keyed.begin(), keyed.end(), Items.begin(), [](const Keyed &entry) { return entry.Text; });
}

void TPacequillSSArray::Reserve(std::size_t count, std::size_t bytes) {
    Items.reserve(count);
    Buffer.reserve(bytes);
}

std::string_view TPacequillSSArray::operator[](std::size_t index) const {
    return Text(Items[index], Scratch);
}

RowKeyFields TPacequillSSArray::Fields(std::size_t index) const {
    const Item item = Items[index];
    if (IsRowKey(item)) {
        const int row = RowOf(item);
        if (const auto fields =
                DirectRowKeyFields(DayOf(item), Rows->Text(row, DateColumn), Rows->Text(row, DistanceColumn))) {
            return *fields;
        }
    }
    return ReadRowKey(Text(item, Scratch));
}

void TPacequillSSArray::Prefetch(std::size_t index) const {
    if (index < Items.size() && IsRowKey(Items[index])) {
        Rows->PrefetchRecord(RowOf(Items[index]));
    }
    if (index >= RecordLead && index - RecordLead < Items.size() && IsRowKey(Items[index - RecordLead])) {
        Rows->PrefetchTexts(RowOf(Items[index - RecordLead]));
    }
}

} // namespace pq
