#pragma once

#include <string>
#include <string_view>

#include "import/ActivityFiles.h"

// One line for what a reader made of a file, for table-driven comparisons: each activity as
// "start sport running? meters seconds name (remark)" joined by " | ", or "error: place: reason".
std::string Summarize(const pq::FileActivities &result);

// Reads the bytes whole and in blocks of several sizes; the summary when all agree, else a text naming the
// block size that differs.
std::string ReadAndSummarize(std::string_view bytes);
