#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LogEntry.h"

namespace pq {

class TLwComparator;

// The ordered rows of the log list. Texts live in a few large blocks and each row is a pointer plus four
// lengths, so a million rows cost little more than their bytes and a sort moves 24-byte records only.
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

    // The whole text of a cell, as displayed (not cut).
    std::string_view Text(int row, int column) const;

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
    void PrefetchRecord(int row) const { __builtin_prefetch(&Rows[static_cast<std::size_t>(row)]); }
    void PrefetchTexts(int row) const { __builtin_prefetch(Rows[static_cast<std::size_t>(row)].Data); }

    // Reserves room for a number of rows and text bytes (the reader knows both before it appends).
    void Reserve(std::size_t rows, std::size_t textBytes);

private:
    struct Row {
        const char *Data;
        std::uint32_t Length[ColumnCount];
    };
    char *Allocate(std::size_t bytes);
    int AppendTexts(const std::string_view (&texts)[ColumnCount]);
    void Permute(std::vector<int> order);

    std::vector<Row> Rows;
    std::vector<std::unique_ptr<char[]>> Blocks;
    std::size_t BlockUsed = 0;
    std::size_t BlockSize = 0;
    int Selected = -1;
};

} // namespace pq
