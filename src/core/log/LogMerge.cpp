#include "log/LogMerge.h"

#include <map>
#include <vector>

#include "log/LogFile.h"

namespace pq {

namespace {

using RowCounts = std::map<RecordTexts, std::size_t>;

RowCounts CountRows(const LogList &list) {
    RowCounts counts;
    for (int row = 0; row < list.RowCount(); ++row) {
        ++counts[TextsOfRow(list, row)];
    }
    return counts;
}

// The rows of from beyond the copies that minus holds of each: the later ones of equal rows, in from's order.
std::vector<int> ExtraRows(const LogList &from, const LogList &minus) {
    RowCounts matched = CountRows(minus);
    std::vector<int> extra;
    for (int row = 0; row < from.RowCount(); ++row) {
        const auto found = matched.find(TextsOfRow(from, row));
        if (found != matched.end() && found->second > 0) {
            --found->second;
        } else {
            extra.push_back(row);
        }
    }
    return extra;
}

void AppendRow(LogList &to, const LogList &from, int row) {
    const RecordTexts texts = TextsOfRow(from, row);
    to.AppendEntry({std::string(texts[DateColumn]), std::string(texts[DistanceColumn]), std::string(texts[TimeColumn]),
                    std::string(texts[NotesColumn])});
}

// The held rows without those that the other side removed, the first copies of equal rows first.
void AppendHeldRows(MergedLog &merged, const LogList &held, const LogList &removedFrom,
                    const std::vector<int> &removedRows) {
    RowCounts removed;
    for (const int row : removedRows) {
        ++removed[TextsOfRow(removedFrom, row)];
    }
    for (int row = 0; row < held.RowCount(); ++row) {
        const auto found = removed.find(TextsOfRow(held, row));
        if (found != removed.end() && found->second > 0) {
            --found->second;
            ++merged.Removed;
        } else {
            AppendRow(merged.Rows, held, row);
        }
    }
}

void AppendAddedRows(MergedLog &merged, const LogList &from, const std::vector<int> &rows) {
    for (const int row : rows) {
        AppendRow(merged.Rows, from, row);
    }
    merged.Added = rows.size();
}

} // namespace

MergedLog MergeThreeWay(const LogList &base, const LogList &held, const LogList &file) {
    MergedLog merged;
    AppendHeldRows(merged, held, base, ExtraRows(base, file));
    AppendAddedRows(merged, file, ExtraRows(file, base));
    return merged;
}

MergedLog MergeTwoWay(const LogList &first, const LogList &second) {
    MergedLog merged;
    AppendHeldRows(merged, first, first, {});
    AppendAddedRows(merged, second, ExtraRows(second, first));
    return merged;
}

} // namespace pq
