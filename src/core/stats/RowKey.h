#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// A row key is the text by which the statistics snapshot orders a dated row: its day number in five zero-padded
// digits, a tab, the weekday digit, a tab, the Date text, a tab, the Distance text cut to 19 bytes, a tab and the
// Time text cut to 9 bytes. Because the day number comes first, byte order of keys is date order.

// Widths to which a row's texts are cut when its key is made.
inline constexpr std::size_t KeyDistanceWidth = 19;
inline constexpr std::size_t KeyTimeWidth = 9;
inline constexpr char KeySeparator = '\t';
// Day numbers must fit the five zero-padded digits so that byte order stays date order.
inline constexpr int SmallestKeyDayNumber = 0;
inline constexpr int LargestKeyDayNumber = 99999;

// The day number of a row's Date text, or nothing when the row has no key: a Date that does not begin with a
// digit, lacks the two "/", names a month outside 1..12, or falls outside the five digits of a key.
std::optional<int> KeyDayNumber(std::string_view date);
// The same for the year, month and day numbers as read from a Date text.
std::optional<int> KeyDayNumber(std::int64_t year, std::int64_t month, std::int64_t day);

// Appends the key of a row whose Date has the given day number.
void AppendRowKey(std::string &key, int dayNumber, std::string_view date, std::string_view distance,
                  std::string_view time);

// The key of one row, or an empty text when the row has no key.
std::string RowKey(std::string_view date, std::string_view distance, std::string_view time);

// The parts of a row key that the computations use. The texts are views into the key or into the row.
struct RowKeyFields {
    int DayNumber = 0;
    int Weekday = 0;
    std::string_view Date;
    std::string_view Distance;
};

// Takes a key apart at its tabs: the numbers before the first and second tab, then the texts up to the third
// and the fourth.
RowKeyFields ReadRowKey(std::string_view key);

// The fields of a row's key without composing it, or nothing when a text holds a tab, which would move the
// places at which the key is taken apart (the key must then be composed and read).
std::optional<RowKeyFields> DirectRowKeyFields(int dayNumber, std::string_view date, std::string_view distance);

// The fields of a row's key: taken directly where they can be, else composed in scratch and read back (the texts
// of the fields then point into scratch).
RowKeyFields RowKeyFieldsOf(int dayNumber, std::string_view date, std::string_view distance, std::string_view time,
                            std::string &scratch);

// The order of two texts as they stand in keys, each followed by a tab: where one is a prefix of the other, that
// tab meets the longer text's next byte.
bool TabEndedLess(std::string_view left, std::string_view right);

// A decimal integer at the start of a text: white space, an optional sign, then digits up to the first other
// character. Saturates far beyond any calendar value.
std::int64_t ReadLeadingInteger(std::string_view text);

// The text after the byte at pos, or an empty text when pos is npos (a separator that was not found).
std::string_view TextAfter(std::string_view text, std::size_t pos);

} // namespace pq
