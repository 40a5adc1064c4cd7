#pragma once

#include <cstddef>
#include <random>
#include <string>

// Texts that put every rule of reading a key to work: dates of every form the log meets (older two-digit
// years, months out of range, no date, blanks, signs), distances numeric or not, cut at 19 bytes or not, known
// units and unknown ones, and bytes with a role in the file.
class RandomRows {
public:
    explicit RandomRows(unsigned seed) : Random(seed) {}

    std::string Date();
    std::string Distance();
    std::string Time();
    // Junk that now and then carries the tag "#tempo", or text that only looks like it.
    std::string Notes();
    // Bytes of any value but the record marker and NUL, with tabs, line breaks and blanks made likely.
    std::string Junk(std::size_t length);
    std::string Number(std::size_t digits);
    std::size_t Pick(std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(Random); }

private:
    std::mt19937 Random;
};

// A log file's bytes: a header or none (an older log), records with doubled and leading tabs, notes with line
// breaks, records without a line end or ended by LF alone, NUL bytes, stretches longer than a chunk, and a header
// inside the file.
std::string RandomLogBytes(unsigned seed, std::size_t rows);
