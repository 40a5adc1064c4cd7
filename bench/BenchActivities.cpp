#include "BenchActivities.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

#include <stdexcept>

#include <zip.h>
#include <zlib.h>

#include "ActivityTemplates.h"
#include "FitWriter.h"

namespace {

constexpr std::int64_t Start = 1764572400; // 2025-12-01T07:00:00Z
constexpr int HourSeconds = 3600;
constexpr std::int64_t DaySeconds = 86400;
constexpr int GzipWindowBits = 16 + MAX_WBITS;
constexpr int GzipMemoryLevel = 8;
constexpr double MetersPerSecond = 3;

std::string Gzipped(const std::string &bytes) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, GzipWindowBits, GzipMemoryLevel, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        throw std::runtime_error("zlib");
    }
    std::string packed(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

// Run `index` of the export in its format, with its member name.
std::pair<std::string, std::string> ExportRun(int index) {
    const std::int64_t start = Start + static_cast<std::int64_t>(index) * DaySeconds;
    const std::string name = "activities/" + std::to_string(index);
    switch (index % 3) {
    case 0: {
        FitWriter writer;
        const auto fitStart = static_cast<std::uint32_t>(start - FitWriter::FitEpoch);
        writer.AddRecords(fitStart, HourSeconds, true);
        writer.AddSession({fitStart, 1, HourSeconds * 1000u, HourSeconds * 1000u,
                           static_cast<std::uint32_t>(HourSeconds * MetersPerSecond * 100)});
        return {name + ".fit.gz", writer.Bytes()};
    }
    case 1:
        return {name + ".gpx.gz", OneHourGpx(index)};
    default:
        return {name + ".tcx.gz", ActivityTemplates::Tcx({ActivityTemplates::TcxActivity(
                                      "Running", start, {{start, HourSeconds, HourSeconds * MetersPerSecond}})})};
    }
}

} // namespace

std::string AccountExportZip() {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "pacequill-bench-export.zip";
    if (std::filesystem::exists(path)) {
        return path.string();
    }
    const std::filesystem::path partial = path.string() + ".partial";
    int error = 0;
    zip_t *archive = zip_open(partial.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        throw std::runtime_error("cannot write " + partial.string());
    }
    // libzip reads the members' bytes when the archive is closed.
    std::vector<std::string> members;
    members.reserve(ExportRunCount);
    for (int i = 0; i < ExportRunCount; ++i) {
        auto [name, bytes] = ExportRun(i);
        members.push_back(Gzipped(bytes));
        zip_source_t *source = zip_source_buffer(archive, members.back().data(), members.back().size(), 0);
        const zip_int64_t added = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(added), ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) != 0) {
        throw std::runtime_error("cannot write " + partial.string());
    }
    std::filesystem::rename(partial, path);
    return path.string();
}

namespace {} // namespace

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
