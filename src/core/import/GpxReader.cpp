#include "import/GpxReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

#include "import/GreatCircle.h"
#include "import/IsoTime.h"
#include "log/Characters.h"

namespace pq {

namespace {

constexpr std::array GpxNamespaces = {std::string_view("http://www.topografix.com/GPX/1/1"),
                                      std::string_view("http://www.topografix.com/GPX/1/0")};
constexpr double MaxLatitude = 90;
constexpr double MaxLongitude = 180;
// Slower than this between two timed points is standing still, not running.
constexpr double StopSpeed = 0.5; // m/s

// The words of a type that say running, in any letter case, and the number some services write for a run.
constexpr std::array RunningWords = {std::string_view("run"), std::string_view("running")};
constexpr std::string_view RunningNumber = "9";

bool IsWordByte(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// A type that says running: one of its words is a running word ("running", "Run", "trail_running",
// "Street Running"), so "brunch walk" is not; or it is the number for a run.
bool SaysRunning(std::string_view type) {
    if (type == RunningNumber) {
        return true;
    }
    std::size_t pos = 0;
    while (pos < type.size()) {
        while (pos < type.size() && !IsWordByte(type[pos])) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < type.size() && IsWordByte(type[pos])) {
            ++pos;
        }
        const std::string_view word = type.substr(start, pos - start);
        if (std::any_of(RunningWords.begin(), RunningWords.end(),
                        [word](std::string_view run) { return EqualsIgnoringCase(word, run); })) {
            return true;
        }
    }
    return false;
}

// A latitude or longitude in degrees, at most limit from 0.
bool Coordinate(const char *text, double limit, double &degrees) {
    const std::optional<double> value = text != nullptr ? XmlActivityReader::Number(text) : std::nullopt;
    if (!value || *value < -limit || *value > limit) {
        return false;
    }
    degrees = *value;
    return true;
}

} // namespace

GpxReader::Element GpxReader::Classify(std::string_view uri, std::string_view name) const {
    // Files written without a namespace are read as GPX too; elements of other namespaces are extensions.
    if (!uri.empty() && std::find(GpxNamespaces.begin(), GpxNamespaces.end(), uri) == GpxNamespaces.end()) {
        return Element::Other;
    }
    const Element parent = Open.empty() ? Element::Other : Open.back();
    switch (parent) {
    case Element::Gpx:
        return name == "trk" ? Element::Track : Element::Other;
    case Element::Track:
        if (name == "name") {
            return Element::TrackName;
        }
        if (name == "type") {
            return Element::TrackType;
        }
        return name == "trkseg" ? Element::Segment : Element::Other;
    case Element::Segment:
        return name == "trkpt" ? Element::Point : Element::Other;
    case Element::Point:
        return name == "time" ? Element::PointTime : Element::Other;
    default:
        return Element::Other;
    }
}

void GpxReader::StartElement(std::string_view uri, std::string_view name, const char **attributes) {
    if (Open.empty()) {
        if (name != "gpx") {
            Stop("the document is <" + std::string(name) + ">, not a GPX file");
            return;
        }
        Open.push_back(Element::Gpx);
        return;
    }
    const Element element = Open.back() == Element::Other ? Element::Other : Classify(uri, name);
    Open.push_back(element);
    switch (element) {
    case Element::Track:
        Track = Activity();
        TrackTimed = false;
        TrackFirstTime.reset();
        break;
    case Element::Segment:
        HasPrevious = false;
        SegmentLastTime.reset();
        MetersSinceTimed = 0;
        break;
    case Element::Point:
        StartPoint(attributes);
        break;
    case Element::TrackName:
    case Element::TrackType:
    case Element::PointTime:
        CaptureText();
        break;
    default:
        break;
    }
}

void GpxReader::EndElement(std::string_view, std::string_view) {
    if (Open.empty()) {
        return;
    }
    const Element element = Open.back();
    Open.pop_back();
    switch (element) {
    case Element::TrackName:
        Track.Name = Trimmed(Text());
        break;
    case Element::TrackType:
        Track.Sport = Trimmed(Text());
        break;
    case Element::PointTime:
        PointTime = ParseIsoTime(Text());
        if (!PointTime) {
            Stop("the point's time '" + std::string(Trimmed(Text())) + "' is not a date and time");
        }
        break;
    case Element::Point:
        EndPoint();
        break;
    case Element::Track:
        EndTrack();
        break;
    default:
        break;
    }
}

void GpxReader::StartPoint(const char **attributes) {
    PointTime.reset();
    if (!Coordinate(Attribute(attributes, "lat"), MaxLatitude, Latitude)) {
        Stop("the point has no latitude between -90 and 90 (lat)");
    } else if (!Coordinate(Attribute(attributes, "lon"), MaxLongitude, Longitude)) {
        Stop("the point has no longitude between -180 and 180 (lon)");
    }
}

void GpxReader::EndPoint() {
    if (HasPrevious) {
        const double meters = HaversineMeters(PreviousLatitude, PreviousLongitude, Latitude, Longitude);
        Track.DistanceMeters += meters;
        MetersSinceTimed += meters;
    }
    HasPrevious = true;
    PreviousLatitude = Latitude;
    PreviousLongitude = Longitude;
    if (!PointTime) {
        return;
    }
    if (SegmentLastTime) {
        const double seconds = *PointTime - *SegmentLastTime;
        if (seconds > 0 && MetersSinceTimed >= StopSpeed * seconds) {
            Track.MovingSeconds += seconds;
        }
    }
    SegmentLastTime = PointTime;
    MetersSinceTimed = 0;
    if (!TrackFirstTime) {
        TrackFirstTime = PointTime;
        Track.Start = static_cast<std::int64_t>(std::floor(*PointTime));
        TrackTimed = true;
    }
    TrackLastTime = *PointTime;
}

void GpxReader::EndTrack() {
    if (!TrackTimed) {
        UntimedTrack = true;
        return;
    }
    Track.ElapsedSeconds = std::max(0.0, TrackLastTime - *TrackFirstTime);
    Track.Running = Track.Sport.empty() || SaysRunning(Track.Sport);
    Add(std::move(Track));
}

void GpxReader::End() {
    XmlActivityReader::End();
    if (!Failed() && Activities().empty() && UntimedTrack) {
        Fail({}, "no timed points: its tracks are planned routes, not recorded activities");
    }
}

} // namespace pq
