#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/XmlActivityReader.h"

namespace pq {

// GPX 1.0 and 1.1: one activity per track. Its distance is the great-circle distance between successive points
// of each segment (segments are not joined, so a pause that starts a new segment adds no distance). Its moving
// time adds up the intervals between successive timed points of each segment, leaving out those slower than
// 0.5 m/s (a stop inside a segment, with the jitter of a resting receiver); its elapsed time runs from the first
// to the last timed point of the track. Its name and sport are the track's name and type; a type that says nothing
// counts as a run. A track without any timed point is a planned route, not a recorded activity, and is left out.
class GpxReader : public XmlActivityReader {
private:
    enum class Element { Other, Gpx, Track, TrackName, TrackType, Segment, Point, PointTime };

    void StartElement(std::string_view uri, std::string_view name, const char **attributes) override;
    void EndElement(std::string_view uri, std::string_view name) override;
    void End() override;
    Element Classify(std::string_view uri, std::string_view name) const;
    void StartPoint(const char **attributes);
    void EndPoint();
    void EndTrack();

    std::vector<Element> Open;
    Activity Track;
    bool TrackTimed = false;
    bool UntimedTrack = false; // a track was left out for having no timed point
    // The segment being read.
    bool HasPrevious = false;
    double PreviousLatitude = 0;
    double PreviousLongitude = 0;
    std::optional<double> SegmentLastTime;
    double MetersSinceTimed = 0; // along the segment since its last timed point
    std::optional<double> TrackFirstTime;
    double TrackLastTime = 0;
    // The point being read.
    double Latitude = 0;
    double Longitude = 0;
    std::optional<double> PointTime;
};

} // namespace pq
