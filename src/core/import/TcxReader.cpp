#include "import/TcxReader.h"

#include <algorithm>
#include <cmath>

#include "import/IsoTime.h"

namespace pq {

namespace {

constexpr std::string_view TcxNamespace = "http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2";
constexpr std::string_view RunningSport = "Running";

} // namespace

TcxReader::Element TcxReader::Classify(std::string_view uri, std::string_view name) const {
    if (!uri.empty() && uri != TcxNamespace) {
        return Element::Other;
    }
    switch (Open.back()) {
    case Element::Database:
        return name == "Activities" ? Element::Activities : Element::Other;
    case Element::Activities:
        return name == "Activity" ? Element::Activity : Element::Other;
    case Element::Activity:
        if (name == "Id") {
            return Element::ActivityId;
        }
        return name == "Lap" ? Element::Lap : Element::Other;
    case Element::Lap:
        // Only the lap's own values: its track points carry a running DistanceMeters of their own.
        if (name == "TotalTimeSeconds") {
            return Element::LapTime;
        }
        if (name == "Track") {
            return Element::Track;
        }
        return name == "DistanceMeters" ? Element::LapDistance : Element::Other;
    case Element::Track:
        return name == "Trackpoint" ? Element::Point : Element::Other;
    case Element::Point:
        return name == "Time" ? Element::PointTime : Element::Other;
    default:
        return Element::Other;
    }
}

void TcxReader::StartElement(std::string_view uri, std::string_view name, const char **attributes) {
    if (Open.empty()) {
        if (name != "TrainingCenterDatabase") {
            Stop("the document is <" + std::string(name) + ">, not a TCX file");
            return;
        }
        Open.push_back(Element::Database);
        return;
    }
    const Element element = Open.back() == Element::Other ? Element::Other : Classify(uri, name);
    Open.push_back(element);
    switch (element) {
    case Element::Activity: {
        Current = Activity();
        IdTime.reset();
        HasLap = false;
        LastPointTime.reset();
        const char *sport = Attribute(attributes, "Sport");
        Current.Sport = sport != nullptr ? Trimmed(sport) : std::string_view();
        Current.Running = Current.Sport == RunningSport;
        break;
    }
    case Element::Lap:
        if (!HasLap) {
            HasLap = true;
            const char *start = Attribute(attributes, "StartTime");
            const std::optional<double> time = start != nullptr ? ParseIsoTime(start) : std::nullopt;
            if (start != nullptr && !time) {
                Stop("the lap's StartTime '" + std::string(start) + "' is not a date and time");
            } else if (time) {
                Current.Start = static_cast<std::int64_t>(std::floor(*time));
            }
        }
        break;
    case Element::ActivityId:
    case Element::LapTime:
    case Element::LapDistance:
    case Element::PointTime:
        CaptureText();
        break;
    default:
        break;
    }
}

void TcxReader::AddLapNumber(std::string_view what, double &sum) {
    const std::optional<double> value = Number(Text());
    if (!value || *value < 0) {
        Stop("the lap's " + std::string(what) + " '" + std::string(Trimmed(Text())) + "' is not a number of 0 or more");
        return;
    }
    sum += *value;
}

void TcxReader::EndElement(std::string_view, std::string_view) {
    if (Open.empty()) {
        return;
    }
    const Element element = Open.back();
    Open.pop_back();
    switch (element) {
    case Element::ActivityId:
        IdTime = ParseIsoTime(Text());
        break;
    case Element::LapTime:
        AddLapNumber("TotalTimeSeconds", Current.MovingSeconds);
        break;
    case Element::LapDistance:
        AddLapNumber("DistanceMeters", Current.DistanceMeters);
        break;
    case Element::PointTime:
        if (const std::optional<double> time = ParseIsoTime(Text())) {
            LastPointTime = LastPointTime ? std::max(*LastPointTime, *time) : *time;
        }
        break;
    case Element::Activity:
        if (!HasLap) {
            Stop("the activity has no lap");
            break;
        }
        if (!Current.Start && IdTime) {
            Current.Start = static_cast<std::int64_t>(std::floor(*IdTime));
        }
        Current.ElapsedSeconds = Current.Start && LastPointTime && *LastPointTime > static_cast<double>(*Current.Start)
                                     ? *LastPointTime - static_cast<double>(*Current.Start)
                                     : Current.MovingSeconds;
        Add(std::move(Current));
        break;
    default:
        break;
    }
}

} // namespace pq
