#pragma once

#include <cstddef>
#include <string>

enum class BenchNotes { Plain, Tagged };

// A deterministic log of realistic runs in the current file format, for benchmarks. Tagged notes carry tags
// ("#tempo") and shoes ("@pegasus"), a few runs two shoes; otherwise the rows are the same.
std::string GenerateLogBytes(std::size_t rows, unsigned seed = 1, BenchNotes notes = BenchNotes::Plain);

// Writes the generated log to a file in the temporary directory (made once per size) and returns its path.
std::string GeneratedLogPath(std::size_t rows, BenchNotes notes = BenchNotes::Plain);

// The rows of the generated logs: a million, unless PACEQUILL_BENCH_ROWS names another count (e.g. a smaller
// log under valgrind, or the ten-thousand-row case).
std::size_t BenchRows();

// The peak resident set size of this process so far, in bytes.
std::size_t PeakResidentBytes();
