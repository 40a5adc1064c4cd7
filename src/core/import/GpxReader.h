#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/XmlActivityReader.h"

namespace pq {

// GPX 1.0 and 1.1: one activity per track. Its distance is the great-circle distance between successive points
// of each segment (segments are not joined, so a pause that starts a new segment adds no distance); its time is
// the time from the first to the last timed point of each segment, added up over the segments, so such a pause
// is not counted either. Its name and sport are the track's name and type; a type that says nothing counts as a
// run. A track without any timed point is a planned route, not a recorded activity, and is left out.
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
    std::optional<double> SegmentFirstTime;
    std::optional<double> SegmentLastTime;
    // The point being read.
    double Latitude = 0;
    double Longitude = 0;
    std::optional<double> PointTime;
};

} // namespace pq
