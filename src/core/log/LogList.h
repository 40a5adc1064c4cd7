#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "LogEntry.h"
#include "log/PackedRows.h"
#include "log/TextTable.h"

namespace pq {

class TLwComparator;

// The ordered rows of the log list. Each column keeps its distinct texts once, in a table of its own, and a row is
// the four numbers of its texts, packed (PackedRows): most logs repeat their dates, distances, times and notes, so
// a million rows cost little more than 8 bytes each, and a sort moves 8-byte records.
class LogList {
public:
    LogList();
    LogList(const LogList &other);
    LogList &operator=(const LogList &other);
    LogList(LogList &&) noexcept;
    LogList &operator=(LogList &&) noexcept;
    ~LogList();

    int RowCount() const;
    // Splits a row text by the row-text rules and adds the row at the end; returns its index.
    int AppendRow(std::string_view rowText);
    // Adds rows as AppendRow does, several at once: the lookups of their texts overlap.
    void AppendRows(std::span<const std::string_view> rowTexts);
    // The row-text rules: Date, Distance and Time end at TABs (runs of TABs before each are skipped), Notes takes
    // what follows the TAB that ended Time. The texts are views into rowText.
    static void SplitRowText(std::string_view rowText, std::string_view (&texts)[ColumnCount]);
    // Adds the four texts as they stand (no splitting); returns the new row's index.
    int AppendEntry(const LogEntry &entry);
    // The row's texts cut to 15, 15, 15 and 755 bytes.
    LogEntry ReadEntry(int index) const;
    static std::string JoinEntry(const LogEntry &entry);
    void RemoveRow(int index);
    void ClearRows();

    // The whole text of a cell, as displayed (not cut). The view stays valid while the list lives and is not
    // cleared.
    std::string_view Text(int row, int column) const;
    // The number of a cell's text in its column's table: cells with equal texts in one column have equal numbers.
    std::uint32_t TextId(int row, int column) const {
        if (row < 0 || static_cast<std::size_t>(row) >= Rows.Size()) {
            throw std::out_of_range("no such row in the log list");
        }
        return Rows.Id(static_cast<std::size_t>(row), static_cast<std::size_t>(column));
    }
    const TextTable &ColumnTexts(int column) const { return Columns[static_cast<std::size_t>(column)]; }
    // The rows' numbers of their texts, for walks that read many rows' numbers without a check of each index.
    const PackedRows &Records() const { return Rows; }

    std::optional<int> SelectedRow() const;
    void Select(int index);
    void ClearSelection();

    // Reorders the rows stably by the comparator, which is asked about rows by their index before the sort.
    // The selection stays with its row.
    void Sort(const TLwComparator &comparator);
    // The same order as Sort with a byte-order string comparator on the column, found through precomputed keys
    // so that a million rows sort without chasing every row's text on every comparison.
    void SortByBytes(int column, bool ascending);

    // Hints that a row's record, or the texts it points to, will be read soon: for walks in another order than
    // the list's, which fetch a record a little before its texts.
    void PrefetchRecord(int row) const { Rows.Prefetch(static_cast<std::size_t>(row)); }
    void PrefetchTexts(int row) const;

    // Reserves room for a number of rows. The text bytes the reader knows of are no measure of the room the
    // texts take, which is only that of the distinct ones: their tables grow as those come.
    void Reserve(std::size_t rows, std::size_t textBytes);

    // Appends the rows of another list, in their order; its texts join this list's tables. A big list is
    // appended on this many threads.
    void AppendList(const LogList &other, std::size_t threads = 1);

private:
    int AppendTexts(const std::string_view (&texts)[ColumnCount]);
    void Permute(std::vector<int> order);

    PackedRows Rows;
    TextTable Columns[ColumnCount];
    int Selected = -1;
};

} // namespace pq
