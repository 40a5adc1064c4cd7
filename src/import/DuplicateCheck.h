#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

// Rows that an import must not add again: an entry is a duplicate when its Date, Distance and Time texts equal
// those of a row the check has been given.
class DuplicateCheck {
public:
    void AddRows(const LogList &list);
    void Add(const LogEntry &entry);
    bool Contains(const LogEntry &entry) const;

private:
    static std::string Key(std::string_view date, std::string_view distance, std::string_view time);

    std::unordered_set<std::string> Keys;
};

} // namespace pq
