#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "cli/ArgumentList.h"
#include "cli/CliError.h"
#include "cli/LogFiles.h"
#include "cli/OutputBuffer.h"
#include "cli/Subcommands.h"
#include "log/LogList.h"
#include "log/LogLock.h"
#include "log/LogMerge.h"

namespace pq::cli {

namespace {

constexpr std::string_view MergeHelp = R"(Usage: pquil merge A B OUT [--base BASE] [--force]

Puts two copies of a log back together, such as the conflict copies that sync
tools leave beside a log ("runs.sync-conflict-2026....pquil"): OUT gets the rows
of A, then the rows of B that A lacks, in B's order. Rows are compared by their
four texts (Date, Distance, Time, Notes) and counted: a run that A holds once and
B twice is in OUT twice. No row of A or B is lost.

  --base BASE  the copy both began from: the rows that A or B removed since BASE
               stay removed (the merge the window makes when another program
               changed its log), and the rows that B added since BASE are added
  --force      replace an OUT that is neither A nor B, and cut rows holding a text
               longer than a log field (as a save cuts them) instead of refusing

OUT may be A or B; it is written atomically. Any other existing OUT is replaced
only with --force, and only when it is a log. A, B and BASE must be logs.

Every pquil command that rewrites a log, and the window when it saves, holds the
log's lock (an advisory lock on the folder that holds the log) from reading the
log to writing it, so that programs writing one log take turns and none loses
another's runs. A command that finds the lock held waits up to 30 seconds for it,
then gives up with exit status 1 and writes nothing. Reading needs no lock.
)";

bool SameFile(const std::string &first, const std::string &second) {
    std::error_code error;
    return std::filesystem::equivalent(first, second, error);
}

} // namespace

int RunMerge(Words words, OutputBuffer &out, OutputBuffer &err) {
    const ArgumentList args("merge", words, {{"--base", true}, {"--force"}});
    if (args.HelpRequested()) {
        out.Append(MergeHelp);
        return ExitSuccess;
    }
    args.ExpectOperands({"A", "B", "OUT"});
    const std::string first(args.Operand(0));
    const std::string second(args.Operand(1));
    const std::string outPath(args.Operand(2));
    const bool force = args.Has("--force");
    if (!SameFile(first, outPath) && !SameFile(second, outPath)) {
        CheckOutputPath(first, outPath, force);
    }
    LogLock lock(outPath);
    if (!lock.Acquire()) {
        throw CliError(ExitFailure, lock.Error());
    }
    RefuseNonLogOutput(outPath);
    const LogList a = ReadLogToRewrite(first, force, err);
    const LogList b = ReadLogToRewrite(second, force, err);
    const std::optional<std::string_view> basePath = args.Value("--base");
    const MergedLog merged =
        basePath ? MergeThreeWay(ReadLogToRewrite(std::string(*basePath), force, err), a, b) : MergeTwoWay(a, b);
    WriteOutputLog(outPath, merged.Rows);
    out.Append(outPath + ": " + std::to_string(merged.Rows.RowCount()) + " run(s), " + std::to_string(merged.Added) +
               " from B");
    if (basePath) {
        out.Append(", " + std::to_string(merged.Removed) + " removed as B removed them");
    }
    out.EndLine();
    return ExitSuccess;
}

} // namespace pq::cli
