#include "BenchActivities.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "ActivityTemplates.h"

namespace {

constexpr std::int64_t Start = 1764572400; // 2025-12-01T07:00:00Z
constexpr int HourSeconds = 3600;
constexpr std::int64_t DaySeconds = 86400;

} // namespace

std::string OneHourGpx(int index) {
    const std::int64_t start = Start + static_cast<std::int64_t>(index) * DaySeconds;
    return ActivityTemplates::Gpx({ActivityTemplates::GpxTrack("Run " + std::to_string(index), "running",
                                                               {ActivityTemplates::SteadyRun(start, HourSeconds)})});
}

std::vector<std::string> OneHourGpxFiles() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "pacequill-bench-gpx";
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    for (int i = 0; i < BenchRunCount; ++i) {
        const std::filesystem::path path = folder / ("run-" + std::to_string(i) + ".gpx");
        if (!std::filesystem::exists(path)) {
            std::ofstream(path, std::ios::binary) << OneHourGpx(i);
        }
        paths.push_back(path.string());
    }
    return paths;
}
