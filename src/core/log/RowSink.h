#pragma once

#include <string_view>

namespace pq {

// Takes the rows that a LogReader finds in a log file, in file order, each as a row text (split by
// LogList::SplitRowText). The text is valid only during the call.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void TakeRow(std::string_view rowText) = 0;
};

} // namespace pq
