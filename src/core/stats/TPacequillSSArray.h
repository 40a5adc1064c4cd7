#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "stats/RowKey.h"

namespace pq {

class LogList;

// Strings kept in ascending byte order (unsigned, case-sensitive, a prefix first). Equal strings keep the order
// in which they came. Each string costs one 8-byte item: a text that is added is copied into one shared buffer,
// while a row key stands for a row of a log list and is composed from the row's texts whenever it is read, so a
// snapshot of a million rows costs 8 MB rather than a second copy of their texts.
class TPacequillSSArray {
public:
    TPacequillSSArray() = default;
    // An array that may also hold row keys of this list. The list must outlive the array, and its rows must not
    // change while the array exists.
    explicit TPacequillSSArray(const LogList &rows) : Rows(&rows) {}
    TPacequillSSArray(const LogList &&) = delete;

    // Inserts after every string that compares less than or equal to it.
    void Add(std::string_view text);

    // Append without ordering; Finish sorts what was appended. For building in bulk: call Finish before reading
    // or adding in order.
    void AppendUnsorted(std::string_view text);
    // The key of the row at this index of the list, whose Date text has this day number (KeyDayNumber).
    void AppendRowKey(int row, int dayNumber);
    void Finish();

    // Room for a number of strings and for the bytes of added texts, so that building in bulk does not reallocate.
    void Reserve(std::size_t count, std::size_t bytes);

    std::size_t Size() const { return Items.size(); }
    bool Empty() const { return Items.empty(); }
    // Valid until the next string is read or added.
    std::string_view operator[](std::size_t index) const;
    // The parts of the string at this index read as a row key; for a row key mostly without composing it. The
    // texts are valid until the next string is read or added.
    RowKeyFields Fields(std::size_t index) const;
    // Tells the array that the string at this index will be read soon. Reading a snapshot in date order visits
    // the rows out of list order; hinting a few strings ahead overlaps their memory reads.
    void Prefetch(std::size_t index) const;

private:
    // An item with the top bit clear packs a text's offset into the middle bits and its length into the low
    // ones; a text too long or too far into the buffer for them is kept in Wide instead, and its item holds the
    // index in Wide and the escape length. An item with the top bit set is a row key: the day number in the
    // middle bits and the row index in the low 32.
    using Item = std::uint64_t;
    struct WideText {
        std::size_t Offset;
        std::size_t Length;
    };
    Item Store(std::string_view text);
    // The text of an item; a row key is composed into `scratch`.
    std::string_view Text(Item item, std::string &scratch) const;
    void SortRowKeys();

    const LogList *Rows = nullptr;
    std::string Buffer;
    std::vector<Item> Items;
    std::vector<WideText> Wide;
    mutable std::string Scratch;
};

} // namespace pq
