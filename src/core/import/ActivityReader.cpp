#include "import/ActivityReader.h"

#include <exception>
#include <new>

namespace pq {

namespace {

constexpr std::string_view OutOfMemory = "not enough memory to read the file";
constexpr std::string_view NoActivity = "no activity found in the file";
constexpr std::string_view OnlyEmpty = "no activity found in the file: none records a distance or a time";

} // namespace

std::string ReadError::Text() const {
    std::string text = File;
    for (const std::string *part : {&Place, &Reason}) {
        if (!part->empty()) {
            text += ": " + *part;
        }
    }
    return text;
}

void ActivityReader::Feed(std::string_view block) {
    if (Failed()) {
        return;
    }
    try {
        Parse(block);
    } catch (const std::bad_alloc &) {
        Fail({}, std::string(OutOfMemory));
    } catch (const std::exception &error) {
        Fail({}, error.what());
    }
}

void ActivityReader::Finish() {
    if (Failed()) {
        return;
    }
    try {
        End();
    } catch (const std::bad_alloc &) {
        Fail({}, std::string(OutOfMemory));
    } catch (const std::exception &error) {
        Fail({}, error.what());
    }
    if (!Failed() && Found.empty()) {
        Fail({}, std::string(LeftOutEmpty ? OnlyEmpty : NoActivity));
    }
}

void ActivityReader::Add(Activity activity) {
    if (!(activity.DistanceMeters > 0) && !(activity.MovingSeconds > 0)) {
        LeftOutEmpty = true;
        return;
    }
    Found.push_back(std::move(activity));
}

void ActivityReader::Fail(std::string place, std::string reason) {
    if (!Failed()) {
        Fault = ReadError{{}, std::move(place), std::move(reason)};
        Found.clear();
    }
}

} // namespace pq
