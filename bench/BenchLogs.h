#pragma once

#include <cstddef>
#include <string>

// A deterministic log of realistic runs in the current file format, for benchmarks.
std::string GenerateLogBytes(std::size_t rows, unsigned seed = 1);

// Writes the generated log to a file in the temporary directory (made once per size) and returns its path.
std::string GeneratedLogPath(std::size_t rows);

// The peak resident set size of this process so far, in bytes.
std::size_t PeakResidentBytes();
