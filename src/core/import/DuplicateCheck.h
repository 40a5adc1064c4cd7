#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

// Rows that an import must not add again: an entry is a duplicate when its Date, Distance and Time texts equal
// those of a row the check counts. The check counts rows of one list, a leading part of it that grows as rows
// are added, and keeps of each distinct key only a row number in a table ordered by a hash of the three texts: no text
// is copied, so a check over a big log costs a few bytes a row.
class DuplicateCheck {
public:
    explicit DuplicateCheck(const LogList &rows);

    // Counts the list's rows up to end (exclusive) as well; rows before those already counted stay counted. The
    // list may grow between calls, but the rows counted must not change.
    void CountRowsBefore(int end);
    int Counted() const { return CountedRows; }
    // Counts no row again, as after construction.
    void Clear();
    bool Contains(const LogEntry &entry) const;

private:
    static std::uint64_t Hash(std::string_view date, std::string_view distance, std::string_view time);
    std::uint64_t HashOfRow(int row) const;
    bool SameTexts(int row, std::string_view date, std::string_view distance, std::string_view time) const;
    // Whether a row with these texts (and this hash of them) is in the table.
    bool Holds(std::uint64_t hash, std::string_view date, std::string_view distance, std::string_view time) const;
    void Insert(int row, std::uint64_t hash);
    // Makes room for this many keys in all.
    void Grow(std::size_t keys);

    const LogList &Rows;
    // Row numbers plus one, one row for each distinct key; 0 marks an empty slot. The size is a power of two, at
    // most half filled.
    std::vector<std::uint32_t> Slots;
    std::size_t Distinct = 0;
    int CountedRows = 0;
};

} // namespace pq
