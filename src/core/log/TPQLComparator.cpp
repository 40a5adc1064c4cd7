#include "log/TPQLComparator.h"

#include <algorithm>
#include <cstring>

#include "log/LogList.h"

namespace pq {

int TLwComparator::Compare(int, int) const {
    return 0;
}

std::span<const int> TLwComparator::RowRanks() const {
    return {};
}

TLwComparator::ColumnRanks TLwComparator::TextRanks() const {
    return {};
}

TPQLComparator::TPQLComparator(const LogList &list, int column, bool ascending)
    : List(list), Column(column), Ascending(ascending) {}

int ByteCollation(std::string_view first, std::string_view second) {
    const std::size_t common = std::min(first.size(), second.size());
    // memcmp compares as unsigned char, which is the order wanted for bytes of 0x80 and above.
    const int r = common == 0 ? 0 : std::memcmp(first.data(), second.data(), common);
    if (r != 0) {
        return r;
    }
    return first.size() < second.size() ? -1 : (first.size() > second.size() ? 1 : 0);
}

TPQLStringComparator::TPQLStringComparator(const LogList &list, int column, bool ascending, Collation collation)
    : TPQLComparator(list, column, ascending), Collate(std::move(collation)) {
    // Calling the byte order directly rather than through std::function keeps a sort of a huge log fast.
    Bytewise = IsByteCollation(Collate);
}

bool IsByteCollation(const Collation &collation) {
    const auto *target = collation.target<int (*)(std::string_view, std::string_view)>();
    return target != nullptr && *target == &ByteCollation;
}

int TPQLStringComparator::Compare(int firstRow, int secondRow) const {
    const std::string_view first = List.Text(firstRow, Column).substr(0, SortTextWidth);
    const std::string_view second = List.Text(secondRow, Column).substr(0, SortTextWidth);
    const int r = Bytewise ? ByteCollation(first, second) : Collate(first, second);
    // Reduced to its sign so that negating it can never overflow.
    const int sign = (r > 0) - (r < 0);
    return Ascending ? sign : -sign;
}

void SortState::Click(int column) {
    SortAscending = column == SortColumn ? !SortAscending : true;
    SortColumn = column;
}

void SortByColumn(LogList &list, SortState &state, int column, const Collation &collation) {
    state.Click(column);
    if (IsByteCollation(collation)) {
        list.SortByBytes(column, state.SortAscending);
        return;
    }
    const TPQLStringComparator comparator(list, column, state.SortAscending, collation);
    list.Sort(comparator);
}

} // namespace pq
