#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "cli/DateRangeOption.h"
#include "log/LogFile.h"
#include "log/RowSink.h"

namespace pq::cli {

// Takes the rows of a log as they are read, keeps those whose notes carry the tag and whose Date lies in the range
// (each only when given), and hands their four texts on: the same rows RowsWithTag and RowsInRange leave of the
// log read whole, without holding it.
class SelectedRows : public RowSink {
public:
    using Take = std::function<void(const RecordTexts &texts)>;

    SelectedRows(std::optional<std::string> tag, std::optional<DateRange> range, Take take);

    void TakeRow(std::string_view rowText) override;

private:
    std::optional<std::string> Tag;
    std::optional<DateRange> Range;
    Take Next;
};

} // namespace pq::cli
