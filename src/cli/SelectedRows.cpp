#include "cli/SelectedRows.h"

#include <algorithm>
#include <utility>

#include "log/LogList.h"
#include "log/NoteMarks.h"

namespace pq::cli {

SelectedRows::SelectedRows(std::optional<std::string> tag, std::optional<DateRange> range, Take take)
    : Tag(std::move(tag)), Range(std::move(range)), Next(std::move(take)) {}

void SelectedRows::TakeRow(std::string_view rowText) {
    std::string_view split[ColumnCount];
    LogList::SplitRowText(rowText, split);
    if (Tag && !HasMark(split[NotesColumn], TagSign, *Tag)) {
        return;
    }
    if (Range && !InDateRange(*Range, split[DateColumn])) {
        return;
    }
    RecordTexts texts;
    std::copy(std::begin(split), std::end(split), texts.begin());
    Next(texts);
}

} // namespace pq::cli
