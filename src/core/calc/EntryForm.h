#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "log/LogEntry.h"

namespace pq {

// Why one text of a row is not one the entry editor writes.
struct EntryFault {
    LogColumn Column = DateColumn;
    std::string Reason;
};

// The entry editor's forms of a row's texts, for rows that reach a log by other ways than the editor (imports):
// a date yyyy/mm/dd that the Date field accepts, or "No Date"; a number (digits with at most one point), one
// blank and the unit word Miles, Kilometers or Marathons; a time hh:mm:ss with two or more digits in each part
// and optional decimals after the seconds. Each check gives the reason a text is refused, or nothing.
std::optional<std::string> CheckDateForm(std::string_view date);
std::optional<std::string> CheckDistanceForm(std::string_view distance);
std::optional<std::string> CheckTimeForm(std::string_view time);

// The first of Date, Distance and Time (in that order) that is not in the editor's form. Notes take any text.
std::optional<EntryFault> CheckEntryForm(const LogEntry &entry);

} // namespace pq
