#include "import/DuplicateCheck.h"

#include <algorithm>

namespace pq {

namespace {

constexpr std::uint64_t FnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t FnvPrime = 1099511628211ULL;
constexpr std::size_t FirstSlotCount = 64;
// The table grows before it is more than half full, which keeps the probe sequences short.
constexpr std::size_t SlotsPerRow = 2;

std::uint64_t Mix(std::uint64_t hash, std::string_view text) {
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * FnvPrime;
    }
    // The field's end takes part, so that "ab","c" and "a","bc" differ.
    return (hash ^ static_cast<unsigned char>(FieldSeparator)) * FnvPrime;
}

} // namespace

DuplicateCheck::DuplicateCheck(const LogList &rows) : Rows(rows) {}

std::uint64_t DuplicateCheck::Hash(std::string_view date, std::string_view distance, std::string_view time) {
    return Mix(Mix(Mix(FnvOffset, date), distance), time);
}

std::uint64_t DuplicateCheck::HashOfRow(int row) const {
    return Hash(Rows.Text(row, DateColumn), Rows.Text(row, DistanceColumn), Rows.Text(row, TimeColumn));
}

void DuplicateCheck::Insert(int row, std::uint64_t hash) {
    const std::size_t mask = Slots.size() - 1;
    std::size_t slot = static_cast<std::size_t>(hash) & mask;
    while (Slots[slot] != 0) {
        slot = (slot + 1) & mask;
    }
    Slots[slot] = static_cast<std::uint32_t>(row) + 1;
}

void DuplicateCheck::Grow() {
    std::vector<std::uint32_t> old(std::max(FirstSlotCount, Slots.size() * 2), 0);
    old.swap(Slots);
    for (const std::uint32_t entry : old) {
        if (entry != 0) {
            const int row = static_cast<int>(entry - 1);
            Insert(row, HashOfRow(row));
        }
    }
}

void DuplicateCheck::CountRowsBefore(int end) {
    for (; CountedRows < end; ++CountedRows) {
        if ((static_cast<std::size_t>(CountedRows) + 1) * SlotsPerRow > Slots.size()) {
            Grow();
        }
        Insert(CountedRows, HashOfRow(CountedRows));
    }
}

void DuplicateCheck::Clear() {
    Slots.clear();
    CountedRows = 0;
}

bool DuplicateCheck::Contains(const LogEntry &entry) const {
    if (Slots.empty()) {
        return false;
    }
    const std::size_t mask = Slots.size() - 1;
    for (std::size_t slot = static_cast<std::size_t>(Hash(entry.Date, entry.Distance, entry.Time)) & mask;
         Slots[slot] != 0; slot = (slot + 1) & mask) {
        const int row = static_cast<int>(Slots[slot] - 1);
        if (Rows.Text(row, DateColumn) == entry.Date && Rows.Text(row, DistanceColumn) == entry.Distance &&
            Rows.Text(row, TimeColumn) == entry.Time) {
            return true;
        }
    }
    return false;
}

} // namespace pq
