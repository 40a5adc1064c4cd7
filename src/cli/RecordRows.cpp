#include "cli/RecordRows.h"

#include <algorithm>

#include "insight/PersonalRecords.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"

namespace pq::cli {

void RecordRows::TakeRow(std::string_view rowText) {
    Counter.TakeRow(rowText);
    std::string_view texts[ColumnCount];
    LogList::SplitRowText(rowText, texts);
    if (HasMark(texts[NotesColumn], TagSign, RaceTag)) {
        RaceRows.push_back(Taken);
    }
    ++Taken;
}

void RecordRows::Append(const RecordRows &later) {
    Counter.Append(later.Counter);
    for (const int row : later.RaceRows) {
        RaceRows.push_back(Taken + row);
    }
    Taken += later.Taken;
}

RowFilter RecordRows::RaceFilter() const {
    return [this](int row) { return std::binary_search(RaceRows.begin(), RaceRows.end(), row); };
}

} // namespace pq::cli
