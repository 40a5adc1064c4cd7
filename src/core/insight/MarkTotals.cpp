#include "insight/MarkTotals.h"

#include <algorithm>
#include <unordered_map>

#include "insight/CountedRuns.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"

namespace pq {

std::vector<MarkTotal> CollectMarkTotals(const LogList &list, char sign, const RowFilter &filter) {
    std::vector<MarkTotal> totals;
    std::unordered_map<std::string, std::size_t> byKey;
    std::vector<std::string_view> names;
    const int rows = list.RowCount();
    for (int row = 0; row < rows; ++row) {
        FindMarks(list.Text(row, NotesColumn), sign, names);
        if (names.empty() || (filter && !filter(row))) {
            continue;
        }
        const std::string_view date = list.Text(row, DateColumn);
        const std::optional<UnitTotals> run = CountedRunDistance(date, list.Text(row, DistanceColumn));
        for (const std::string_view name : names) {
            const auto [place, added] = byKey.try_emplace(MarkKey(name), totals.size());
            if (added) {
                totals.emplace_back().Name = name;
            }
            MarkTotal &total = totals[place->second];
            if (!run) {
                continue;
            }
            ++total.Runs;
            total.Miles += run->Miles;
            total.Kilometers += run->Kilometers;
            if (total.FirstDate.empty() || date < total.FirstDate) {
                total.FirstDate = date;
            }
            if (total.LastDate.empty() || date >= total.LastDate) {
                total.LastDate = date;
                total.LastRow = row;
            }
        }
    }
    std::sort(totals.begin(), totals.end(),
              [](const MarkTotal &a, const MarkTotal &b) { return MarkKey(a.Name) < MarkKey(b.Name); });
    return totals;
}

std::vector<std::string> MarkNames(const LogList &list, char sign) {
    std::unordered_map<std::string, std::string> byKey;
    std::vector<std::string_view> names;
    const int rows = list.RowCount();
    for (int row = 0; row < rows; ++row) {
        FindMarks(list.Text(row, NotesColumn), sign, names);
        for (const std::string_view name : names) {
            byKey.try_emplace(MarkKey(name), name);
        }
    }
    std::vector<std::pair<std::string, std::string>> sorted(byKey.begin(), byKey.end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> result;
    result.reserve(sorted.size());
    for (auto &[key, name] : sorted) {
        result.push_back(std::move(name));
    }
    return result;
}

RowFilter MarkFilter(const LogList &list, char sign, std::string name) {
    return [&list, sign, name = std::move(name)](int row) { return HasMark(list.Text(row, NotesColumn), sign, name); };
}

std::vector<int> MarkedRows(const LogList &list, char sign, std::string_view name) {
    std::vector<int> rows;
    const int count = list.RowCount();
    for (int row = 0; row < count; ++row) {
        if (HasMark(list.Text(row, NotesColumn), sign, name)) {
            rows.push_back(row);
        }
    }
    return rows;
}

LogList SelectRows(const LogList &list, const std::vector<int> &rows) {
    LogList selected;
    selected.Reserve(rows.size(), 0);
    for (const int row : rows) {
        selected.AppendEntry({std::string(list.Text(row, DateColumn)), std::string(list.Text(row, DistanceColumn)),
                              std::string(list.Text(row, TimeColumn)), std::string(list.Text(row, NotesColumn))});
    }
    return selected;
}

} // namespace pq
