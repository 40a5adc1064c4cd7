#pragma once

#include <optional>
#include <vector>

#include "import/XmlActivityReader.h"

namespace pq {

// Training Center XML: one activity per Activity element. Its moving time and distance are the sums of its laps'
// TotalTimeSeconds (the timer's time, without pauses) and DistanceMeters; it starts at its first lap's StartTime
// (its Id when that is missing); its elapsed time runs from its start to its last timed track point (the laps'
// sum when it has none); its sport is its Sport attribute ("Running", "Biking", "Other").
class TcxReader : public XmlActivityReader {
private:
    enum class Element {
        Other,
        Database,
        Activities,
        Activity,
        ActivityId,
        Lap,
        LapTime,
        LapDistance,
        Track,
        Point,
        PointTime
    };

    void StartElement(std::string_view uri, std::string_view name, const char **attributes) override;
    void EndElement(std::string_view uri, std::string_view name) override;
    Element Classify(std::string_view uri, std::string_view name) const;
    void AddLapNumber(std::string_view what, double &sum);

    std::vector<Element> Open;
    Activity Current;
    std::optional<double> IdTime;
    bool HasLap = false;
    std::optional<double> LastPointTime;
};

} // namespace pq
