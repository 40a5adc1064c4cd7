// The compressed inputs on arbitrary bytes: the bytes as a gzip file, inflated in blocks of varying size, and as a
// zip archive whose members are listed and read. Whatever they hold, each read ends in activities or an error.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include <unistd.h>

#include "import/ActivityFiles.h"
#include "import/ActivityInputs.h"

namespace {

constexpr std::size_t LargestBlock = 4096;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckRead(const pq::FileActivities &read) {
    Check(read.Error.has_value() != !read.Activities.empty());
    Check(!read.Plain);
}

// A file in a folder of this process's own, written again for every input.
const std::string &ArchivePath() {
    static const std::string path = [] {
        std::string folder = "/tmp/pacequill-archive-fuzz-XXXXXX";
        Check(::mkdtemp(folder.data()) != nullptr);
        return folder + "/input.zip";
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);

    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(std::hash<std::string_view>{}(input)));
    std::uniform_int_distribution<std::size_t> blocks(1, LargestBlock);
    std::size_t at = 0;
    CheckRead(pq::ReadActivityBlocks(
        [&](std::string &block, std::string &) -> std::optional<std::size_t> {
            const std::size_t count = std::min({block.size(), blocks(random), input.size() - at});
            input.copy(block.data(), count, at);
            at += count;
            return count;
        },
        "input.gpx.gz"));

    {
        std::ofstream file(ArchivePath(), std::ios::binary | std::ios::trunc);
        file.write(input.data(), static_cast<std::streamsize>(input.size()));
    }
    std::vector<pq::ReadError> errors;
    for (const pq::ActivityInput &member : pq::ExpandActivityInputs({ArchivePath()}, errors)) {
        CheckRead(pq::ReadActivityInput(member));
    }
    return 0;
}
