#include "cli/TagOption.h"

#include "cli/CliError.h"
#include "insight/MarkTotals.h"
#include "log/CodePage1252.h"
#include "log/NoteMarks.h"
#include "log/Unencodable.h"

namespace pq::cli {

std::optional<std::string> TagName(const ArgumentList &args, std::string_view command) {
    const std::optional<std::string_view> value = args.Value(TagOptionSpec.Name);
    if (!value) {
        return std::nullopt;
    }
    const std::string what = std::string(command) + ": --tag '" + std::string(*value) + "': ";
    const Encoded1252 encoded = EncodeUtf8To1252(*value);
    if (!encoded.Ok) {
        throw CliError(ExitUsage, what + DescribeUnencodable(encoded.BadCharacter));
    }
    std::string name = encoded.Bytes;
    if (!name.empty() && name.front() == TagSign) {
        name.erase(0, 1);
    }
    if (!IsMarkName(name)) {
        throw CliError(ExitUsage, what + "a tag is letters, digits, '-' and '_', with or without its '#'");
    }
    return name;
}

RowFilter TagFilter(const LogList &list, const std::optional<std::string> &tag) {
    return tag ? MarkFilter(list, TagSign, *tag) : RowFilter();
}

LogList RowsWithTag(LogList list, const std::optional<std::string> &tag) {
    if (!tag) {
        return list;
    }
    return SelectRows(list, MarkedRows(list, TagSign, *tag));
}

} // namespace pq::cli
