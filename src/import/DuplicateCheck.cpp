#include "import/DuplicateCheck.h"

namespace pq {

std::string DuplicateCheck::Key(std::string_view date, std::string_view distance, std::string_view time) {
    std::string key;
    key.reserve(date.size() + distance.size() + time.size() + 2);
    key.append(date).append(1, FieldSeparator).append(distance).append(1, FieldSeparator).append(time);
    return key;
}

void DuplicateCheck::AddRows(const LogList &list) {
    for (int row = 0; row < list.RowCount(); ++row) {
        Keys.insert(Key(list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn)));
    }
}

void DuplicateCheck::Add(const LogEntry &entry) {
    Keys.insert(Key(entry.Date, entry.Distance, entry.Time));
}

bool DuplicateCheck::Contains(const LogEntry &entry) const {
    return Keys.contains(Key(entry.Date, entry.Distance, entry.Time));
}

} // namespace pq
