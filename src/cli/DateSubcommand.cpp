#include <string>

#include "calc/DateRules.h"
#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/OutputBuffer.h"
#include "cli/Subcommands.h"
#include "log/CodePage1252.h"
#include "log/Unencodable.h"

namespace pq::cli {

namespace {

constexpr std::string_view DateHelp = R"(Usage: pquil date TEXT

Checks a date text as the entry editor checks its Date field. A date yyyy/mm/dd
from 1980/01/01 to 2079/12/31, or an empty text, is accepted: the date text the
entry would store is printed ("No Date" for an empty text) and the exit status is 0.
Otherwise the editor's message goes to standard error and the exit status is 1.
)";

} // namespace

int RunDate(Words words, OutputBuffer &out, OutputBuffer &) {
    const ArgumentList args("date", words, {});
    if (args.HelpRequested()) {
        out.Append(DateHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"TEXT"});
    const std::string_view text = args.Operand(0);
    std::string what(1, '\'');
    what += text;
    what += "': ";
    const Encoded1252 field = EncodeUtf8To1252(text);
    if (!field.Ok) {
        throw CliError(ExitFailure, what + DescribeUnencodable(field.BadCharacter));
    }
    const DateValidation check = ValidateDateText(field.Bytes);
    switch (check.Result) {
    case DateCheck::Accepted:
        out.AppendDecoded(check.DateText, TextStyle::Tsv);
        out.EndLine();
        return ExitSuccess;
    case DateCheck::ImproperDateFormat:
        throw CliError(ExitFailure, what + std::string(ImproperDateFormatMessage));
    case DateCheck::InvalidDate:
        throw CliError(ExitFailure, what + std::string(InvalidDateMessage));
    }
    return ExitFailure;
}

} // namespace pq::cli
