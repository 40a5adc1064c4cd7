#pragma once

#include <span>
#include <string_view>

namespace pq::cli {

// Runs one pquil command line (the words after the program name) and returns the exit status.
int RunPquil(std::span<const std::string_view> words);

} // namespace pq::cli
