#include "ActivityFuzzing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "import/ActivityEntry.h"
#include "import/ActivityReader.h"
#include "log/LogList.h"

namespace {

constexpr std::size_t LargestBlock = 4096;
constexpr std::size_t LargestSmallBlock = 16;
constexpr std::string_view MalformedXml = "not well-formed XML";

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// What a read gives, as one text: the error, or each activity's numbers and texts.
std::string Outcome(pq::ActivityReader &reader) {
    reader.Finish();
    if (reader.Failed()) {
        Check(reader.Activities().empty());
        Check(!reader.Error().Reason.empty());
        // Where expat notices malformed input, and which of its messages it gives ("syntax error" or "invalid
        // token"), can change with the blocks it is given; that the input is malformed may not.
        if (reader.Error().Reason.starts_with(MalformedXml)) {
            return std::string(MalformedXml);
        }
        return reader.Error().Place + ": " + reader.Error().Reason;
    }
    Check(!reader.Activities().empty());
    std::string text;
    for (const pq::Activity &activity : reader.Activities()) {
        Check(std::isfinite(activity.DistanceMeters) && activity.DistanceMeters >= 0);
        Check(std::isfinite(activity.MovingSeconds) && activity.MovingSeconds >= 0);
        Check(std::isfinite(activity.ElapsedSeconds) && activity.ElapsedSeconds >= 0);
        for (const pq::DistanceUnit unit : {pq::DistanceUnit::Miles, pq::DistanceUnit::Kilometers}) {
            pq::LogEntry entry;
            const pq::RowTime time = unit == pq::DistanceUnit::Miles ? pq::RowTime::Moving : pq::RowTime::Elapsed;
            if (pq::MakeActivityEntry(activity, unit, time, entry).empty()) {
                Check(entry.Date.size() <= pq::DateWidth && entry.Distance.size() <= pq::DistanceWidth &&
                      entry.Time.size() <= pq::TimeWidth && entry.Notes.size() <= pq::NotesWidth);
                const std::string row = pq::LogList::JoinEntry(entry);
                Check(std::count(row.begin(), row.end(), pq::FieldSeparator) == 3);
                Check(row.find(pq::RecordMarker) == std::string::npos);
                Check(row.find(pq::StoredLineBreak) == std::string::npos);
            }
        }
        text += std::to_string(activity.Start.value_or(-1)) + " " + std::to_string(activity.DistanceMeters) + " " +
                std::to_string(activity.MovingSeconds) + " " + activity.Sport + " " + activity.Name + "\n";
    }
    return text;
}

} // namespace

int FuzzActivityReader(pq::FileFormat format, const std::uint8_t *data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const auto whole = pq::MakeActivityReader(format);
    whole->Feed(input);
    const std::string expected = Outcome(*whole);

    // The block sizes follow from the input, so that a crash replays.
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(std::hash<std::string_view>{}(input)));
    std::uniform_int_distribution<std::size_t> largeBlock(1, LargestBlock);
    std::uniform_int_distribution<std::size_t> smallBlock(1, LargestSmallBlock);
    std::bernoulli_distribution small;
    const auto blocks = pq::MakeActivityReader(format);
    std::string_view rest = input;
    while (!rest.empty()) {
        const std::size_t block = std::min(small(random) ? smallBlock(random) : largeBlock(random), rest.size());
        blocks->Feed(rest.substr(0, block));
        rest.remove_prefix(block);
    }
    Check(Outcome(*blocks) == expected);
    return 0;
}
