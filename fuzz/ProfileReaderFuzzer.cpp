// The profile reader on arbitrary bytes: the lines give back the bytes they were read from, every problem names a
// line of the file, and every shoe's line as the program writes it reads back as the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "insight/GoalProgress.h"
#include "insight/LogProfile.h"
#include "log/LogList.h"
#include "log/ProfileFile.h"

namespace {

constexpr int FuzzToday = 16000; // a day of 2023, inside every goal's calendar

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const pq::ProfileFile file(text);
    if (file.Text() != text) {
        std::abort();
    }
    const pq::LogProfile profile = pq::ParseProfile(text);
    for (const pq::ProfileProblem &problem : profile.Problems) {
        if (problem.Line < 1 || static_cast<std::size_t>(problem.Line) > file.LineCount() || problem.Reason.empty()) {
            std::abort();
        }
    }
    for (const pq::ShoeSettings &shoe : profile.Shoes) {
        const pq::LogProfile again = pq::ParseProfile(pq::ShoeLine(shoe));
        if (again.Shoes.size() != 1 || again.Shoes.front().Name != shoe.Name ||
            again.Shoes.front().Limit.has_value() != shoe.Limit.has_value() ||
            again.Shoes.front().RetiredDay != shoe.RetiredDay || again.Shoes.front().Default != shoe.Default) {
            std::abort();
        }
    }
    const pq::LogList empty;
    pq::ComputeGoals(empty, profile, FuzzToday, 0);
    return 0;
}
