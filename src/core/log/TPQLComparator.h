#pragma once

#include <functional>
#include <span>
#include <string_view>

namespace pq {

class LogList;

// Compares two rows by their index in the list as it stood before the sort began.
class TLwComparator {
public:
    virtual ~TLwComparator() = default;
    virtual int Compare(int firstRow, int secondRow) const;
    // For an order by one number per row: the rows' numbers (none negative), ascending in the order Compare
    // gives, so that a sort can count rather than compare. Empty when the comparator compares otherwise.
    virtual std::span<const int> RowRanks() const;
    // For an order by the texts of one column: the column, and a number (none negative) for each of its distinct
    // texts by the list's number of the text, ascending in the order Compare gives, so that a sort can count by
    // the rows' texts without a number kept for every row. No ranks when the comparator compares otherwise.
    struct ColumnRanks {
        int Column = -1;
        std::span<const int> Ranks;
    };
    virtual ColumnRanks TextRanks() const;
};

class TPQLComparator : public TLwComparator {
public:
    TPQLComparator(const LogList &list, int column, bool ascending);

    const LogList &List;
    int Column;
    bool Ascending;
};

// A collation orders two byte texts: negative, zero or positive.
using Collation = std::function<int(std::string_view, std::string_view)>;

// Byte order of unsigned characters, the shorter text first when one is a prefix of the other.
int ByteCollation(std::string_view first, std::string_view second);

// Whether the collation is ByteCollation itself, which allows faster paths than calling it through Collation.
bool IsByteCollation(const Collation &collation);

inline constexpr std::size_t SortTextWidth = 259;

// Orders rows by their texts in Column, each cut to its first 259 bytes, by the given collation.
class TPQLStringComparator : public TPQLComparator {
public:
    TPQLStringComparator(const LogList &list, int column, bool ascending, Collation collation = ByteCollation);
    int Compare(int firstRow, int secondRow) const override;

private:
    Collation Collate;
    bool Bytewise = false; // Collate is ByteCollation
};

// The sort state of the list window: the column of the last sort and its direction.
struct SortState {
    int SortColumn = -1; // none yet
    bool SortAscending = true;

    // A click on column c: the same column toggles the direction, another column sorts ascending.
    void Click(int column);
};

// Applies a header click to the state and sorts the list with a string comparator over the collation.
void SortByColumn(LogList &list, SortState &state, int column, const Collation &collation = ByteCollation);

} // namespace pq
