#pragma once

#include <cstddef>

#include "log/LogList.h"

namespace pq {

// What a merge made: the rows to write, and what it took from the other side.
struct MergedLog {
    LogList Rows;
    std::size_t Added = 0;   // rows of the other side appended
    std::size_t Removed = 0; // rows of this side dropped because the other side removed them
};

// Rows are compared by their four whole texts, as a multiset: two equal rows are two rows, and of several equal
// rows the later ones are the extra ones.

// The merge of a log that was edited here while another program changed its file: the rows held here, plus the
// rows the file gained since base (as they were last read or written here), minus the rows the file lost since
// base that are still held here unchanged. Added rows come after the held ones, in the file's order.
MergedLog MergeThreeWay(const LogList &base, const LogList &held, const LogList &file);

// Two copies of a log put together: the rows of first, then those of second that first lacks, in second's order.
MergedLog MergeTwoWay(const LogList &first, const LogList &second);

} // namespace pq
