#pragma once

#include <string_view>

namespace pq {

// Characters with a role in the texts read and written beside logs (CSV, TSV, JSON).
inline constexpr char CarriageReturn = '\r';
inline constexpr char LineFeed = '\n';
inline constexpr char Tab = '\t';
inline constexpr char Backslash = '\\';
inline constexpr char Quote = '"';        // encloses a CSV field or a JSON string
inline constexpr char CsvSeparator = ','; // separates CSV fields

// Whether two texts are equal when ASCII letters are compared without their case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

} // namespace pq
