#pragma once

#include <span>
#include <string_view>

namespace pq::cli {

class OutputBuffer;

// The subcommands. Each takes the words after its name, writes its results to out and its reports to err, and
// returns the exit status or throws a CliError.
using Words = std::span<const std::string_view>;

int RunShow(Words words, OutputBuffer &out, OutputBuffer &err);
int RunStats(Words words, OutputBuffer &out, OutputBuffer &err);
int RunCalc(Words words, OutputBuffer &out, OutputBuffer &err);
int RunDate(Words words, OutputBuffer &out, OutputBuffer &err);
int RunConvert(Words words, OutputBuffer &out, OutputBuffer &err);
int RunExport(Words words, OutputBuffer &out, OutputBuffer &err);
int RunImport(Words words, OutputBuffer &out, OutputBuffer &err);
int RunMerge(Words words, OutputBuffer &out, OutputBuffer &err);
int RunTags(Words words, OutputBuffer &out, OutputBuffer &err);
int RunShoes(Words words, OutputBuffer &out, OutputBuffer &err);
int RunGoals(Words words, OutputBuffer &out, OutputBuffer &err);
int RunRecords(Words words, OutputBuffer &out, OutputBuffer &err);
int RunSummary(Words words, OutputBuffer &out, OutputBuffer &err);
int RunChart(Words words, OutputBuffer &out, OutputBuffer &err);
int RunStreaks(Words words, OutputBuffer &out, OutputBuffer &err);
int RunLoad(Words words, OutputBuffer &out, OutputBuffer &err);

} // namespace pq::cli
