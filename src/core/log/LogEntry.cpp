#include "log/LogEntry.h"

namespace pq {

const std::string &LogEntry::Field(int column) const {
    switch (column) {
    case DateColumn:
        return Date;
    case DistanceColumn:
        return Distance;
    case TimeColumn:
        return Time;
    default:
        return Notes;
    }
}

} // namespace pq
