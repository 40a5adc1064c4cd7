#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pq {

// One activity found in a device file: what a log row is made from. Texts are UTF-8 as the file has them.
struct Activity {
    std::optional<std::int64_t> Start; // seconds since 1970-01-01 00:00 UTC
    double DistanceMeters = 0;
    double MovingSeconds = 0;  // the time in motion: without pauses and stops
    double ElapsedSeconds = 0; // from the start to the end, pauses and stops included
    std::string Sport; // as the file names it ("Running", "Biking", "trail_running"); empty when it says nothing
    bool Running = false;
    std::string Name; // empty when the file gives none
    // What the reader had to make up for, in words for the user ("cut off after 42:10; the run was rebuilt from its
    // records"); empty for an activity read as the file has it.
    std::string Remark;
};

// Why a file could not be read: the file, the place in it (empty when the whole file is meant) and the reason.
struct ReadError {
    std::string File;
    std::string Place;
    std::string Reason;

    // "file: place: reason", leaving out an empty place.
    std::string Text() const;
};

} // namespace pq
