#include "log/LogList.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <numeric>
#include <span>
#include <stdexcept>
#include <utility>

#include "log/TPQLComparator.h"

namespace pq {

namespace {

// Texts are carved out of blocks, left uninitialised since every byte handed out is written at once. Blocks
// grow from the smaller size to the larger one, so a short log stays small; a row larger than a block gets a
// block of its own.
constexpr std::size_t MinimumBlockSize = std::size_t{64} << 10;
constexpr std::size_t DefaultBlockSize = std::size_t{4} << 20;

// How many steps along a permutation's cycle its walk asks for the records it will move.
constexpr std::size_t PermutePrefetchDistance = 8;

constexpr std::size_t EntryWidths[ColumnCount] = {DateWidth, DistanceWidth, TimeWidth, NotesWidth};

std::uint32_t CheckedLength(std::size_t length) {
    if (length > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("LogList: text too long");
    }
    return static_cast<std::uint32_t>(length);
}

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

// The rows in ascending order of their ranks, rows of equal rank in their order: a counting sort, which needs no
// comparison at all.
std::vector<int> OrderOfRanks(std::span<const int> ranks) {
    const auto highest = static_cast<std::size_t>(*std::max_element(ranks.begin(), ranks.end()));
    std::vector<int> next(highest + 2, 0); // first the count of each rank, then where its next row goes
    for (const int rank : ranks) {
        ++next[static_cast<std::size_t>(rank) + 1];
    }
    std::partial_sum(next.begin(), next.end(), next.begin());
    std::vector<int> order(ranks.size());
    for (std::size_t row = 0; row < ranks.size(); ++row) {
        order[static_cast<std::size_t>(next[static_cast<std::size_t>(ranks[row])]++)] = static_cast<int>(row);
    }
    return order;
}

} // namespace

LogList::LogList() = default;

LogList::LogList(const LogList &other) {
    std::size_t textBytes = 0;
    for (const Row &row : other.Rows) {
        for (std::uint32_t length : row.Length) {
            textBytes += length;
        }
    }
    Reserve(other.Rows.size(), textBytes);
    for (int i = 0; i < other.RowCount(); ++i) {
        const std::string_view texts[ColumnCount] = {other.Text(i, DateColumn), other.Text(i, DistanceColumn),
                                                     other.Text(i, TimeColumn), other.Text(i, NotesColumn)};
        AppendTexts(texts);
    }
    Selected = other.Selected;
}

LogList &LogList::operator=(const LogList &other) {
    if (this != &other) {
        LogList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

LogList::LogList(LogList &&other) noexcept
    : Rows(std::move(other.Rows)), Blocks(std::move(other.Blocks)), BlockUsed(std::exchange(other.BlockUsed, 0)),
      BlockSize(std::exchange(other.BlockSize, 0)), Selected(std::exchange(other.Selected, -1)) {
    other.Rows.clear();
    other.Blocks.clear();
}

LogList &LogList::operator=(LogList &&other) noexcept {
    if (this != &other) {
        Rows = std::move(other.Rows);
        Blocks = std::move(other.Blocks);
        BlockUsed = std::exchange(other.BlockUsed, 0);
        BlockSize = std::exchange(other.BlockSize, 0);
        Selected = std::exchange(other.Selected, -1);
        other.Rows.clear();
        other.Blocks.clear();
    }
    return *this;
}

LogList::~LogList() = default;

int LogList::RowCount() const {
    return static_cast<int>(Rows.size());
}

int LogList::AppendRow(std::string_view rowText) {
    std::string_view texts[ColumnCount];
    SplitRowText(rowText, texts);
    return AppendTexts(texts);
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
    Row row{nullptr, {}};
    std::size_t total = 0;
    for (int c = 0; c < ColumnCount; ++c) {
        row.Length[c] = CheckedLength(texts[c].size());
        total += texts[c].size();
    }
    if (total > 0) {
        char *data = Allocate(total);
        row.Data = data;
        for (const std::string_view text : texts) {
            if (!text.empty()) {
                std::memcpy(data, text.data(), text.size());
                data += text.size();
            }
        }
    }
    Rows.push_back(row);
    return RowCount() - 1;
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
    Rows.erase(Rows.begin() + index);
    if (Selected == index) {
        Selected = -1;
    } else if (Selected > index) {
        --Selected;
    }
}

void LogList::ClearRows() {
    Rows.clear();
    Rows.shrink_to_fit();
    Blocks.clear();
    BlockUsed = 0;
    BlockSize = 0;
    Selected = -1;
}

std::string_view LogList::Text(int row, int column) const {
    const Row &r = Rows.at(static_cast<std::size_t>(row));
    std::size_t offset = 0;
    for (int c = 0; c < column; ++c) {
        offset += r.Length[c];
    }
    if (r.Data == nullptr) {
        return {};
    }
    return {r.Data + offset, r.Length[column]};
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
    if (const std::span<const int> ranks = comparator.RowRanks(); !ranks.empty() && ranks.size() == Rows.size()) {
        Permute(OrderOfRanks(ranks));
        return;
    }
    std::vector<int> order(Rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&comparator](int a, int b) { return comparator.Compare(a, b) < 0; });
    Permute(std::move(order));
}

void LogList::SortByBytes(int column, bool ascending) {
    // The first bytes of each text as two big-endian numbers, zero-padded: where two keys differ they order as
    // the texts do; equal keys fall back to the texts themselves.
    struct Key {
        std::uint64_t High;
        std::uint64_t Low;
        int Row;
    };
    constexpr std::size_t keyBytes = 2 * sizeof(std::uint64_t);
    const auto packed = [](std::string_view text, std::size_t from) {
        std::uint64_t value = 0;
        for (std::size_t i = from; i < from + sizeof(std::uint64_t); ++i) {
            value = (value << CHAR_BIT) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
        }
        return value;
    };
    std::vector<Key> keys(Rows.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string_view text = Text(static_cast<int>(i), column).substr(0, keyBytes);
        keys[i] = {packed(text, 0), packed(text, sizeof(std::uint64_t)), static_cast<int>(i)};
    }
    const auto compare = [this, column](const Key &a, const Key &b) {
        if (a.High != b.High) {
            return a.High < b.High ? -1 : 1;
        }
        if (a.Low != b.Low) {
            return a.Low < b.Low ? -1 : 1;
        }
        return ByteCollation(Text(a.Row, column).substr(0, SortTextWidth),
                             Text(b.Row, column).substr(0, SortTextWidth));
    };
    if (ascending) {
        std::stable_sort(keys.begin(), keys.end(),
                         [&compare](const Key &a, const Key &b) { return compare(a, b) < 0; });
    } else {
        std::stable_sort(keys.begin(), keys.end(),
                         [&compare](const Key &a, const Key &b) { return compare(a, b) > 0; });
    }
    std::vector<int> order(keys.size());
    std::transform(keys.begin(), keys.end(), order.begin(), [](const Key &key) { return key.Row; });
    keys = {};
    Permute(std::move(order));
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
        const Row first = Rows[start];
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
                Rows[to] = first;
                break;
            }
            Rows[to] = Rows[from];
            to = from;
            --lead;
        }
    }
    Selected = newSelected;
}

void LogList::Reserve(std::size_t rows, std::size_t textBytes) {
    Rows.reserve(Rows.size() + rows);
    if (textBytes > BlockSize - BlockUsed) {
        Blocks.push_back(std::unique_ptr<char[]>(new char[textBytes]));
        BlockSize = textBytes;
        BlockUsed = 0;
    }
}

char *LogList::Allocate(std::size_t bytes) {
    if (bytes <= BlockSize - BlockUsed) {
        char *data = Blocks.back().get() + BlockUsed;
        BlockUsed += bytes;
        return data;
    }
    if (bytes > DefaultBlockSize) {
        // A block of its own, kept out of the way of the block still being filled.
        auto own = std::unique_ptr<char[]>(new char[bytes]);
        char *data = own.get();
        Blocks.insert(Blocks.empty() ? Blocks.end() : Blocks.end() - 1, std::move(own));
        return data;
    }
    const std::size_t size = std::clamp(BlockSize * 2, std::max(MinimumBlockSize, bytes), DefaultBlockSize);
    Blocks.push_back(std::unique_ptr<char[]>(new char[size]));
    BlockSize = size;
    BlockUsed = bytes;
    return Blocks.back().get();
}

} // namespace pq
