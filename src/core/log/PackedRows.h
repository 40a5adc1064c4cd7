#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "LogEntry.h"

namespace pq {

// The rows of a log list as the numbers of their four texts, packed into one 64-bit word a row while the numbers
// fit the bits each column is given, and into two words of four 32-bit numbers once they do not. Logs number
// their distinct dates, distances, times and notes in tens of thousands, seldom more, so a million rows take
// 8 MB instead of 16, and a sort moves 8-byte records.
class PackedRows {
public:
    using Ids = std::array<std::uint32_t, ColumnCount>;
    // A row moved whole, in whichever form the rows are packed.
    struct Record {
        std::uint64_t Words[2];
    };

    PackedRows();
    PackedRows(const PackedRows &) = default;
    PackedRows &operator=(const PackedRows &) = default;
    // The rows moved from are left empty.
    PackedRows(PackedRows &&other) noexcept;
    PackedRows &operator=(PackedRows &&other) noexcept;

    std::size_t Size() const { return Count; }
    bool Empty() const { return Count == 0; }
    std::uint32_t Id(std::size_t row, std::size_t column) const {
        return static_cast<std::uint32_t>((Words[row * WordsPerRow + Word[column]] >> Shift[column]) & Mask[column]);
    }
    Ids RowIds(std::size_t row) const;

    // Adds a row at the end, giving a column more bits (or the rows two words) when a number needs them.
    void Append(const Ids &ids);
    // Makes room for numbers up to these in each column.
    void Fit(const Ids &largest);
    // Sets a row whose numbers fit already (Fit); rows apart may be set on different threads.
    void Set(std::size_t row, const Ids &ids);
    // Adds this many rows at the end, left unset: each is set once with Set, on whichever thread.
    void GrowUnset(std::size_t rows);
    void Reserve(std::size_t rows);
    void Erase(std::size_t row);
    // Forgets every row and gives back their room.
    void Clear();

    Record Take(std::size_t row) const;
    void Put(std::size_t row, const Record &record);
    void Prefetch(std::size_t row) const { __builtin_prefetch(&Words[row * WordsPerRow]); }

private:
    // Leaves new words unset where the standard allocator would zero them: rows added for Set are written once
    // each, a part of them on each thread, instead of first zeroed all on one.
    template <class T> struct UnsetAllocator : std::allocator<T> {
        template <class U> struct rebind { using other = UnsetAllocator<U>; };
        UnsetAllocator() = default;
        template <class U> explicit UnsetAllocator(const UnsetAllocator<U> &) noexcept {}
        template <class U> void construct(U *place) noexcept { ::new (static_cast<void *>(place)) U; }
        template <class U, class... Args> void construct(U *place, Args &&...args) {
            ::new (static_cast<void *>(place)) U(std::forward<Args>(args)...);
        }
    };
    // Lays the columns out in these many bits each, one word a row, or in two words of 32-bit numbers without
    // them, and moves the rows held into that layout.
    void Lay(const std::optional<std::array<int, ColumnCount>> &bits);
    void Pack(std::uint64_t *row, const Ids &ids) const;

    std::vector<std::uint64_t, UnsetAllocator<std::uint64_t>> Words;
    std::size_t Count = 0;
    std::size_t WordsPerRow = 1;
    std::array<std::size_t, ColumnCount> Word{};
    std::array<int, ColumnCount> Shift{};
    std::array<std::uint64_t, ColumnCount> Mask{};
};

} // namespace pq
