#include "import/DuplicateCheck.h"

#include <algorithm>

namespace pq {

namespace {

constexpr std::uint64_t FnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t FnvPrime = 1099511628211ULL;
constexpr std::size_t FirstSlotCount = 64;
// The table is at most half full, which keeps the probe sequences short.
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

bool DuplicateCheck::SameTexts(int row, std::string_view date, std::string_view distance, std::string_view time) const {
    return Rows.Text(row, DateColumn) == date && Rows.Text(row, DistanceColumn) == distance &&
           Rows.Text(row, TimeColumn) == time;
}

bool DuplicateCheck::Holds(std::uint64_t hash, std::string_view date, std::string_view distance,
                           std::string_view time) const {
    if (Slots.empty()) {
        return false;
    }
    const std::size_t mask = Slots.size() - 1;
    for (std::size_t slot = static_cast<std::size_t>(hash) & mask; Slots[slot] != 0; slot = (slot + 1) & mask) {
        if (SameTexts(static_cast<int>(Slots[slot] - 1), date, distance, time)) {
            return true;
        }
    }
    return false;
}

void DuplicateCheck::Grow(std::size_t keys) {
    std::size_t size = std::max(FirstSlotCount, Slots.size());
    while (size < keys * SlotsPerRow) {
        size *= 2;
    }
    if (size == Slots.size()) {
        return;
    }
    std::vector<std::uint32_t> old(size, 0);
    old.swap(Slots);
    for (const std::uint32_t entry : old) {
        if (entry != 0) {
            const int row = static_cast<int>(entry - 1);
            Insert(row, HashOfRow(row));
        }
    }
}

// A row whose texts are in the table already takes no slot: a log of many equal rows keeps its probes short.
void DuplicateCheck::CountRowsBefore(int end) {
    // Room for every new row at once, so that the table is not built again as it fills.
    if (end > CountedRows) {
        Grow(Distinct + static_cast<std::size_t>(end - CountedRows));
    }
    for (; CountedRows < end; ++CountedRows) {
        const int row = CountedRows;
        const std::string_view date = Rows.Text(row, DateColumn);
        const std::string_view distance = Rows.Text(row, DistanceColumn);
        const std::string_view time = Rows.Text(row, TimeColumn);
        const std::uint64_t hash = Hash(date, distance, time);
        if (Holds(hash, date, distance, time)) {
            continue;
        }
        Insert(row, hash);
        ++Distinct;
    }
}

void DuplicateCheck::Clear() {
    Slots.clear();
    CountedRows = 0;
    Distinct = 0;
}

bool DuplicateCheck::Contains(const LogEntry &entry) const {
    return Holds(Hash(entry.Date, entry.Distance, entry.Time), entry.Date, entry.Distance, entry.Time);
}

} // namespace pq
