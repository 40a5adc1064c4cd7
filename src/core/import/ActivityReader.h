#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/Activity.h"

namespace pq {

// The one interface of the readers of device files: the bytes come in blocks of any size, and the reader either
// collects activities or stops at the first fault with the place and the reason. Nothing is thrown past it.
class ActivityReader {
public:
    virtual ~ActivityReader() = default;

    // Takes the next block; ignored once the reader has failed.
    void Feed(std::string_view block);
    // The input has ended. A file holding no activity at all is a failure too: there is nothing to import.
    void Finish();

    bool Failed() const { return Fault.has_value(); }
    // The place and the reason of the failure (File is left to the caller, who knows the name).
    const ReadError &Error() const { return *Fault; }
    std::vector<Activity> &Activities() { return Found; }

protected:
    virtual void Parse(std::string_view block) = 0;
    virtual void End() = 0;
    void Fail(std::string place, std::string reason);
    // An activity with neither a distance nor a time says nothing of a run and is left out.
    void Add(Activity activity);

private:
    std::vector<Activity> Found;
    bool LeftOutEmpty = false;
    std::optional<ReadError> Fault;
};

} // namespace pq
