#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/ArgumentList.h"
#include "insight/CountedRuns.h"
#include "log/LogList.h"

namespace pq::cli {

// "--tag T": the commands that read or add up runs take only the rows whose notes carry the tag.
inline constexpr OptionSpec TagOptionSpec{"--tag", true};

// The tag's name in Windows-1252, given with or without its "#"; nothing when the option was not given. Throws a
// usage error naming the command for a text that is no tag name.
std::optional<std::string> TagName(const ArgumentList &args, std::string_view command);

// Takes the rows of the log with the tag; an empty filter (every row) without one. The list must outlive it.
RowFilter TagFilter(const LogList &list, const std::optional<std::string> &tag);

// The rows of the log with the tag, in list order; the whole log without one.
LogList RowsWithTag(LogList list, const std::optional<std::string> &tag);

} // namespace pq::cli
