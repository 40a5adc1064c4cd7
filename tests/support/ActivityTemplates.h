#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// GPX and TCX documents written from templates for the tests and the benchmarks (standard C++ only).
namespace ActivityTemplates {

struct Point {
    double Latitude = 0;
    double Longitude = 0;
    std::optional<std::int64_t> Time; // Unix time; none writes a point without a time
};
using Segment = std::vector<Point>;

struct Lap {
    std::int64_t Start = 0;
    double Seconds = 0;
    double Meters = 0;
};

// "2026-03-01T07:05:09Z"
std::string IsoTime(std::int64_t unixTime);

// <gpx> with the given tracks; each track from GpxTrack.
std::string Gpx(const std::vector<std::string> &tracks);
// A track; an empty name or type leaves that element out.
std::string GpxTrack(const std::string &name, const std::string &type, const std::vector<Segment> &segments);
// A run along a meridian, one point a second, about 3 m apart.
Segment SteadyRun(std::int64_t start, int seconds);

// <TrainingCenterDatabase> with the given activities; each from TcxActivity.
std::string Tcx(const std::vector<std::string> &activities);
// An activity with its laps; each lap has a few track points whose DistanceMeters run on past the lap's.
std::string TcxActivity(const std::string &sport, std::int64_t id, const std::vector<Lap> &laps);

} // namespace ActivityTemplates
