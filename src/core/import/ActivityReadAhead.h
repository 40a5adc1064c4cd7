#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "import/ActivityFiles.h"
#include "import/ActivityInputs.h"

namespace pq {

// Reads a batch of activity files on worker threads, a few files ahead of the one being used, so that a batch of
// a thousand runs takes about its share of time on each core. The results are taken in the order of the paths;
// files never taken are still read only as far as the workers have got ahead.
class ActivityReadAhead {
public:
    ActivityReadAhead(std::vector<ActivityInput> inputs, std::size_t threads);
    ~ActivityReadAhead();
    ActivityReadAhead(const ActivityReadAhead &) = delete;
    ActivityReadAhead &operator=(const ActivityReadAhead &) = delete;

    std::size_t Size() const { return Inputs.size(); }
    // The name of the input: its path, or for a member of an archive the archive's path and the member's name.
    const std::string &Path(std::size_t index) const { return Names[index]; }
    // What ReadActivityInput gives for the next input in order, waiting for it when it is not read yet.
    FileActivities TakeNext();

private:
    void Work();

    const std::vector<ActivityInput> Inputs;
    std::vector<std::string> Names;
    const std::size_t Ahead;
    std::vector<std::optional<FileActivities>> Results;
    std::mutex Lock;
    std::condition_variable Changed;
    std::size_t NextToRead = 0;
    std::size_t NextToTake = 0;
    bool Stopping = false;
    std::vector<std::thread> Workers;
};

} // namespace pq
