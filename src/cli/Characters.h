#pragma once

namespace pq::cli {

// Characters with a role in the texts pquil reads and writes.
inline constexpr char CarriageReturn = '\r';
inline constexpr char LineFeed = '\n';
inline constexpr char Tab = '\t';
inline constexpr char Backslash = '\\';
inline constexpr char Quote = '"';        // encloses a CSV field or a JSON string
inline constexpr char CsvSeparator = ','; // separates CSV fields

} // namespace pq::cli
