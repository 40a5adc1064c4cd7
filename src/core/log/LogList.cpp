#include "log/LogList.h"

#include <algorithm>
#include <numeric>
#include <span>
#include <utility>

#include "log/TPQLComparator.h"
#include "log/WorkThreads.h"

namespace pq {

namespace {

// How many steps along a permutation's cycle its walk asks for the records it will move.
constexpr std::size_t PermutePrefetchDistance = 8;
// How many rows AppendRows looks up side by side.
constexpr std::size_t AppendBatchRows = 8;
// How many rows a thread of AppendList renumbers at a time.
constexpr int AppendListChunkRows = 1 << 16;

constexpr std::size_t EntryWidths[ColumnCount] = {DateWidth, DistanceWidth, TimeWidth, NotesWidth};

// The field that starts at pos and ends at the next TAB or at the end; pos is left on that TAB or the end.
std::string_view TakeField(std::string_view text, std::size_t &pos) {
    const std::size_t start = pos;
    const std::size_t end = text.find(FieldSeparator, start);
    pos = end == std::string_view::npos ? text.size() : end;
    return text.substr(start, pos - start);
}

void SkipSeparators(std::string_view text, std::size_t &pos) {
    while (pos < text.size() && text[pos] == FieldSeparator) {
        ++pos;
    }
}

// The rows in ascending order of their ranks (rankOf a row's index; none above highest), rows of equal rank in
// their order: a counting sort, which needs no comparison at all.
template <class RankOf> std::vector<int> OrderOfRanks(std::size_t rows, int highest, RankOf rankOf) {
    // First the count of each rank, then where its next row goes.
    std::vector<int> next(static_cast<std::size_t>(highest) + 2, 0);
    for (std::size_t row = 0; row < rows; ++row) {
        ++next[static_cast<std::size_t>(rankOf(row)) + 1];
    }
    std::partial_sum(next.begin(), next.end(), next.begin());
    std::vector<int> order(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        order[static_cast<std::size_t>(next[static_cast<std::size_t>(rankOf(row))]++)] = static_cast<int>(row);
    }
    return order;
}

int Highest(std::span<const int> ranks) {
    return ranks.empty() ? 0 : *std::max_element(ranks.begin(), ranks.end());
}

} // namespace

LogList::LogList() = default;

LogList::LogList(const LogList &other) = default;

LogList &LogList::operator=(const LogList &other) {
    if (this != &other) {
        LogList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

LogList::LogList(LogList &&other) noexcept : Rows(std::move(other.Rows)), Selected(std::exchange(other.Selected, -1)) {
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        Columns[c] = std::move(other.Columns[c]);
    }
}

LogList &LogList::operator=(LogList &&other) noexcept {
    if (this != &other) {
        Rows = std::move(other.Rows);
        for (std::size_t c = 0; c < ColumnCount; ++c) {
            Columns[c] = std::move(other.Columns[c]);
        }
        Selected = std::exchange(other.Selected, -1);
    }
    return *this;
}

LogList::~LogList() = default;

int LogList::RowCount() const {
    return static_cast<int>(Rows.Size());
}

int LogList::AppendRow(std::string_view rowText) {
    std::string_view texts[ColumnCount];
    SplitRowText(rowText, texts);
    return AppendTexts(texts);
}

void LogList::AppendRows(std::span<const std::string_view> rowTexts) {
    // Each step is taken for every text of the rows before the next: finding a text is a chain of fetches from
    // memory (its slot, its record, its bytes), and a step for many texts at once waits for all of them together.
    for (std::size_t first = 0; first < rowTexts.size(); first += AppendBatchRows) {
        const std::size_t count = std::min(AppendBatchRows, rowTexts.size() - first);
        std::string_view texts[AppendBatchRows][ColumnCount];
        std::uint64_t hashes[AppendBatchRows][ColumnCount];
        for (std::size_t i = 0; i < count; ++i) {
            SplitRowText(rowTexts[first + i], texts[i]);
            for (std::size_t c = 0; c < ColumnCount; ++c) {
                hashes[i][c] = TextHash(texts[i][c]);
                Columns[c].PrefetchSlot(hashes[i][c]);
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t c = 0; c < ColumnCount; ++c) {
                Columns[c].PrefetchCandidate(hashes[i][c]);
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t c = 0; c < ColumnCount; ++c) {
                Columns[c].PrefetchCandidateText(hashes[i][c]);
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            PackedRows::Ids ids;
            for (std::size_t c = 0; c < ColumnCount; ++c) {
                ids[c] = Columns[c].Intern(texts[i][c], hashes[i][c]);
            }
            Rows.Append(ids);
        }
    }
}

void LogList::SplitRowText(std::string_view rowText, std::string_view (&texts)[ColumnCount]) {
    std::size_t pos = 0;
    SkipSeparators(rowText, pos);
    texts[DateColumn] = TakeField(rowText, pos);
    SkipSeparators(rowText, pos);
    texts[DistanceColumn] = TakeField(rowText, pos);
    SkipSeparators(rowText, pos);
    texts[TimeColumn] = TakeField(rowText, pos);
    // Only the one TAB that ended Time belongs to no field; every later byte is the note.
    texts[NotesColumn] = pos < rowText.size() ? rowText.substr(pos + 1) : std::string_view();
}

int LogList::AppendEntry(const LogEntry &entry) {
    const std::string_view texts[ColumnCount] = {entry.Date, entry.Distance, entry.Time, entry.Notes};
    return AppendTexts(texts);
}

int LogList::AppendTexts(const std::string_view (&texts)[ColumnCount]) {
    // The four tables are looked up side by side, a step at a time, so that their fetches from memory overlap.
    std::uint64_t hashes[ColumnCount];
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        hashes[c] = TextHash(texts[c]);
        Columns[c].PrefetchSlot(hashes[c]);
    }
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        Columns[c].PrefetchCandidate(hashes[c]);
    }
    PackedRows::Ids ids;
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        ids[c] = Columns[c].Intern(texts[c], hashes[c]);
    }
    Rows.Append(ids);
    return RowCount() - 1;
}

void LogList::AppendList(const LogList &other, std::size_t threads) {
    // Each of the other list's texts is looked up once, a column on each thread; its rows then only change numbers.
    std::vector<std::uint32_t> renumbered[ColumnCount];
    RunInChunks(threads, ColumnCount, 1, [&](std::size_t, int first, int end) {
        for (auto c = static_cast<std::size_t>(first); c < static_cast<std::size_t>(end); ++c) {
            const TextTable &texts = other.Columns[c];
            renumbered[c].resize(texts.Size());
            for (std::uint32_t id = 0; id < texts.Size(); ++id) {
                renumbered[c][id] = Columns[c].Intern(texts.Text(id));
            }
        }
    });
    PackedRows::Ids largest;
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        largest[c] = static_cast<std::uint32_t>(std::max<std::size_t>(Columns[c].Size(), 1) - 1);
    }
    Rows.Fit(largest);
    const std::size_t start = Rows.Size();
    Rows.GrowUnset(other.Rows.Size());
    RunInChunks(threads, static_cast<int>(other.Rows.Size()), AppendListChunkRows,
                [&](std::size_t, int first, int end) {
                    for (auto i = static_cast<std::size_t>(first); i < static_cast<std::size_t>(end); ++i) {
                        PackedRows::Ids ids;
                        for (std::size_t c = 0; c < ColumnCount; ++c) {
                            ids[c] = renumbered[c][other.Rows.Id(i, c)];
                        }
                        Rows.Set(start + i, ids);
                    }
                });
}

LogEntry LogList::ReadEntry(int index) const {
    LogEntry entry;
    std::string *fields[ColumnCount] = {&entry.Date, &entry.Distance, &entry.Time, &entry.Notes};
    for (int c = 0; c < ColumnCount; ++c) {
        fields[c]->assign(Text(index, c).substr(0, EntryWidths[c]));
    }
    return entry;
}

std::string LogList::JoinEntry(const LogEntry &entry) {
    std::string text;
    text.reserve(entry.Date.size() + entry.Distance.size() + entry.Time.size() + entry.Notes.size() + 3);
    text.append(entry.Date).append(1, FieldSeparator);
    text.append(entry.Distance).append(1, FieldSeparator);
    text.append(entry.Time).append(1, FieldSeparator);
    text.append(entry.Notes);
    return text;
}

void LogList::RemoveRow(int index) {
    if (index < 0 || index >= RowCount()) {
        return;
    }
    Rows.Erase(static_cast<std::size_t>(index));
    if (Selected == index) {
        Selected = -1;
    } else if (Selected > index) {
        --Selected;
    }
}

void LogList::ClearRows() {
    Rows.Clear();
    for (TextTable &texts : Columns) {
        texts.Clear();
    }
    Selected = -1;
}

std::string_view LogList::Text(int row, int column) const {
    return Columns[static_cast<std::size_t>(column)].Text(TextId(row, column));
}

void LogList::PrefetchTexts(int row) const {
    const PackedRows::Ids ids = Rows.RowIds(static_cast<std::size_t>(row));
    for (std::size_t c = 0; c < ColumnCount; ++c) {
        Columns[c].Prefetch(ids[c]);
    }
}

std::optional<int> LogList::SelectedRow() const {
    if (Selected < 0) {
        return std::nullopt;
    }
    return Selected;
}

void LogList::Select(int index) {
    Selected = index >= 0 && index < RowCount() ? index : -1;
}

void LogList::ClearSelection() {
    Selected = -1;
}

void LogList::Sort(const TLwComparator &comparator) {
    if (const TLwComparator::ColumnRanks byText = comparator.TextRanks();
        byText.Column >= 0 && byText.Column < ColumnCount &&
        byText.Ranks.size() == Columns[static_cast<std::size_t>(byText.Column)].Size()) {
        const auto at = static_cast<std::size_t>(byText.Column);
        const std::span<const int> ranks = byText.Ranks;
        Permute(OrderOfRanks(Rows.Size(), Highest(ranks), [&](std::size_t row) { return ranks[Rows.Id(row, at)]; }));
        return;
    }
    if (const std::span<const int> ranks = comparator.RowRanks(); !ranks.empty() && ranks.size() == Rows.Size()) {
        Permute(OrderOfRanks(Rows.Size(), Highest(ranks), [&](std::size_t row) { return ranks[row]; }));
        return;
    }
    std::vector<int> order(Rows.Size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&comparator](int a, int b) { return comparator.Compare(a, b) < 0; });
    Permute(std::move(order));
}

void LogList::SortByBytes(int column, bool ascending) {
    // Each distinct text is ranked once, texts that compare equal sharing a rank; the rows then go in the order
    // of their texts' ranks, rows of equal rank in their order, as a stable sort by the texts would put them.
    const TextTable &texts = Columns[static_cast<std::size_t>(column)];
    if (Rows.Empty()) {
        return;
    }
    const auto key = [&texts](std::uint32_t id) { return texts.Text(id).substr(0, SortTextWidth); };
    std::vector<std::uint32_t> ids(texts.Size());
    std::iota(ids.begin(), ids.end(), 0U);
    std::sort(ids.begin(), ids.end(),
              [&key](std::uint32_t a, std::uint32_t b) { return ByteCollation(key(a), key(b)) < 0; });
    std::vector<int> rankOf(ids.size());
    int rank = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i > 0 && ByteCollation(key(ids[i - 1]), key(ids[i])) != 0) {
            ++rank;
        }
        rankOf[ids[i]] = rank;
    }
    ids = {};
    if (!ascending) {
        for (int &each : rankOf) {
            each = rank - each;
        }
    }
    const auto at = static_cast<std::size_t>(column);
    Permute(OrderOfRanks(Rows.Size(), rank, [&](std::size_t row) { return rankOf[Rows.Id(row, at)]; }));
}

// Moves the rows in place, one cycle of the permutation at a time, so a sort needs no second copy of the rows.
// order[i] is the old index of the row that goes to i; a placed position is marked by flipping its entry. The
// records a few steps further along the cycle are asked for ahead: order is small enough to stay in the caches,
// so walking it ahead is quick, and the records' fetches from memory then overlap instead of waiting in turn.
void LogList::Permute(std::vector<int> order) {
    const auto marked = [](int entry) { return entry < 0; };
    const auto flip = [](int entry) { return -entry - 1; };
    int newSelected = -1;
    for (std::size_t start = 0; start < order.size(); ++start) {
        const bool placed = marked(order[start]);
        if ((placed ? flip(order[start]) : order[start]) == Selected) {
            newSelected = static_cast<int>(start);
        }
        if (placed) {
            continue;
        }
        const PackedRows::Record first = Rows.Take(start);
        std::size_t to = start;
        std::size_t ahead = start; // the furthest place along the cycle asked for, lead steps beyond to
        std::size_t lead = 0;
        for (;;) {
            for (; lead < PermutePrefetchDistance && !marked(order[ahead]); ++lead) {
                ahead = static_cast<std::size_t>(order[ahead]);
                PrefetchRecord(static_cast<int>(ahead));
            }
            const auto from = static_cast<std::size_t>(order[to]);
            order[to] = flip(order[to]);
            if (from == start) {
                Rows.Put(to, first);
                break;
            }
            Rows.Put(to, Rows.Take(from));
            to = from;
            --lead;
        }
    }
    Selected = newSelected;
}

void LogList::Reserve(std::size_t rows, std::size_t) {
    Rows.Reserve(Rows.Size() + rows);
}

} // namespace pq
