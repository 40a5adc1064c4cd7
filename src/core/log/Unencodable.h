#pragma once

#include <string>

namespace pq {

// Why a text was refused: the character Windows-1252 cannot hold, shown and named by its code point.
std::string DescribeUnencodable(char32_t character);

// The UTF-8 form of one code point.
std::string Utf8OfCodePoint(char32_t character);

} // namespace pq
