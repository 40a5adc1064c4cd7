#include "ActivityTemplates.h"

#include <cstdio>
#include <ctime>

namespace ActivityTemplates {

namespace {

constexpr double MetersPerDegreeLatitude = 111195.08; // on a sphere of radius 6371008.8 m
constexpr double StepMeters = 3.0;

std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.7f", value);
    return text;
}

} // namespace

std::string IsoTime(std::int64_t unixTime) {
    const auto time = static_cast<std::time_t>(unixTime);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string Gpx(const std::vector<std::string> &tracks) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<gpx version=\"1.1\" creator=\"Pacequill tests\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
                       "xmlns:ext=\"http://example.org/extensions\">\n"
                       " <metadata><name>Not a track name</name><time>2001-01-01T00:00:00Z</time></metadata>\n";
    for (const std::string &track : tracks) {
        text += track;
    }
    return text + "</gpx>\n";
}

std::string GpxTrack(const std::string &name, const std::string &type, const std::vector<Segment> &segments) {
    std::string text = " <trk>\n";
    if (!name.empty()) {
        text += "  <name>" + name + "</name>\n";
    }
    if (!type.empty()) {
        text += "  <type>" + type + "</type>\n";
    }
    for (const Segment &segment : segments) {
        text += "  <trkseg>\n";
        for (const Point &point : segment) {
            text += "   <trkpt lat=\"" + Number(point.Latitude) + "\" lon=\"" + Number(point.Longitude) +
                    "\"><ele>12.5</ele>";
            if (point.Time) {
                text += "<time>" + IsoTime(*point.Time) + "</time>";
            }
            text += "<extensions><ext:time>1999-01-01T00:00:00Z</ext:time><ext:hr>150</ext:hr></extensions>"
                    "</trkpt>\n";
        }
        text += "  </trkseg>\n";
    }
    return text + " </trk>\n";
}

Segment SteadyRun(std::int64_t start, int seconds) {
    Segment segment;
    segment.reserve(static_cast<std::size_t>(seconds) + 1);
    for (int i = 0; i <= seconds; ++i) {
        segment.push_back({51.5 + i * StepMeters / MetersPerDegreeLatitude, -0.12, start + i});
    }
    return segment;
}

std::string Tcx(const std::vector<std::string> &activities) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<TrainingCenterDatabase "
                       "xmlns=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2\" "
                       "xmlns:ns3=\"http://www.garmin.com/xmlschemas/ActivityExtension/v2\">\n <Activities>\n";
    for (const std::string &activity : activities) {
        text += activity;
    }
    return text + " </Activities>\n</TrainingCenterDatabase>\n";
}

std::string TcxActivity(const std::string &sport, std::int64_t id, const std::vector<Lap> &laps) {
    std::string text = "  <Activity Sport=\"" + sport + "\">\n   <Id>" + IsoTime(id) + "</Id>\n";
    for (const Lap &lap : laps) {
        text += "   <Lap StartTime=\"" + IsoTime(lap.Start) + "\">\n    <TotalTimeSeconds>" + Number(lap.Seconds) +
                "</TotalTimeSeconds>\n    <DistanceMeters>" + Number(lap.Meters) +
                "</DistanceMeters>\n    <Calories>100</Calories>\n    <Track>\n";
        for (int i = 0; i < 3; ++i) {
            text += "     <Trackpoint><Time>" + IsoTime(lap.Start + i) +
                    "</Time><DistanceMeters>99999</DistanceMeters></Trackpoint>\n";
        }
        text += "    </Track>\n    <Extensions><ns3:LX><ns3:TotalTimeSeconds>5</ns3:TotalTimeSeconds></ns3:LX>"
                "</Extensions>\n   </Lap>\n";
    }
    return text + "  </Activity>\n";
}

} // namespace ActivityTemplates
