#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "log/LogEntry.h"

namespace pq {

// The column names as the list's headers, the CSV header and the JSON members spell them.
inline constexpr std::array<std::string_view, ColumnCount> ColumnNames = {"Date", "Distance", "Time", "Notes"};
// The widths to which a save cuts each column's text.
inline constexpr std::array<std::size_t, ColumnCount> FieldWidths = {DateWidth, DistanceWidth, TimeWidth, NotesWidth};

} // namespace pq
