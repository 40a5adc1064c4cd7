#include "BenchLogs.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::size_t DefaultRows = 1'000'000;
const char *const RowsVariable = "PACEQUILL_BENCH_ROWS";

constexpr const char *Units[] = {"Miles", "Kilometers", "Marathons"};
constexpr const char *Notes[] = {"Easy run",
                                 "Tempo along the river",
                                 "Long run, felt strong",
                                 "None",
                                 "Intervals 6x800\xA0\xA0legs heavy",
                                 "Hills",
                                 "Recovery jog with the club",
                                 "Race day!"};
constexpr const char *TaggedNotes[] = {"Easy run #easy @Pegasus",
                                       "Tempo along the river #tempo @kinvara",
                                       "Long run, felt strong #long @pegasus",
                                       "None",
                                       "Intervals 6x800\xA0\xA0#track legs heavy @Vaporfly",
                                       "Hills #hills @clifton",
                                       "Recovery jog with the club #easy #club @Pegasus @clifton",
                                       "Race day! #race @vaporfly"};
static_assert(std::size(TaggedNotes) == std::size(Notes), "the tagged log has the same rows otherwise");

} // namespace

std::string GenerateLogBytes(std::size_t rows, unsigned seed, BenchNotes notes) {
    const char *const *noteTexts = notes == BenchNotes::Tagged ? TaggedNotes : Notes;
    std::mt19937 random(seed);
    std::string bytes = "Pacequill version 3.1 log file format\r\n";
    bytes.reserve(bytes.size() + rows * 48);
    char record[160];
    for (std::size_t i = 0; i < rows; ++i) {
        const unsigned year = 1980 + random() % 100;
        const unsigned month = 1 + random() % 12;
        const unsigned day = 1 + random() % 28;
        const unsigned unit = random() % 10 < 7 ? 0 : (random() % 4 ? 1 : 2);
        const double distance = unit == 2 ? 1.0 : 1.0 + static_cast<double>(random() % 250) / 10.0;
        const unsigned minutes = 15 + random() % 120;
        const int length = std::snprintf(record, sizeof record, "\xA1%04u/%02u/%02u\t%g %s\t%02u:%02u:%02u\t%s\r\n",
                                         year, month, day, distance, Units[unit], minutes / 60, minutes % 60,
                                         static_cast<unsigned>(random() % 60), noteTexts[random() % std::size(Notes)]);
        bytes.append(record, static_cast<std::size_t>(length));
    }
    return bytes;
}

std::string GeneratedLogPath(std::size_t rows, BenchNotes notes) {
    const std::string kind = notes == BenchNotes::Tagged ? "tagged-" : "";
    const auto path =
        std::filesystem::temp_directory_path() / ("pacequill-bench-" + kind + std::to_string(rows) + ".pquil");
    if (!std::filesystem::exists(path)) {
        // Written beside it and renamed, so a benchmark running at the same time never reads half a log.
        const std::string bytes = GenerateLogBytes(rows, 1, notes);
        auto partial = path;
        partial += ".";
        partial += std::to_string(::getpid());
        std::ofstream(partial, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::filesystem::rename(partial, path);
    }
    return path.string();
}

std::size_t BenchRows() {
    const char *text = std::getenv(RowsVariable);
    return text && *text ? std::stoul(text) : DefaultRows;
}

std::size_t PeakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}
