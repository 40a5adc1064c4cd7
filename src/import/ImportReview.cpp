#include "import/ImportReview.h"

#include <algorithm>

#include "import/ActivityEntry.h"

namespace pq {

ImportReview::ImportReview(const LogList &log) {
    Existing.AddRows(log);
}

void ImportReview::AddFile(const std::string &file, FileActivities activities) {
    if (activities.Error) {
        Failures.push_back(std::move(*activities.Error));
        return;
    }
    for (Activity &activity : activities.Activities) {
        Found.push_back({std::move(activity), file, {}, true, false});
    }
    Recompute();
}

void ImportReview::SetUnit(DistanceUnit unit) {
    ChosenUnit = unit;
    Recompute();
}

bool ImportReview::TickedAtFirst(std::size_t index) const {
    const Candidate &candidate = Found[index];
    return candidate.Found.Running && candidate.Fits && !candidate.Duplicate;
}

std::size_t ImportReview::DuplicateCount() const {
    return static_cast<std::size_t>(
        std::count_if(Found.begin(), Found.end(), [](const Candidate &candidate) { return candidate.Duplicate; }));
}

// A row counts as existing for the files after its own, as pquil import has it.
void ImportReview::Recompute() {
    DuplicateCheck batch;
    std::size_t fileStart = 0;
    for (std::size_t i = 0; i < Found.size(); ++i) {
        if (Found[i].File != Found[fileStart].File) {
            for (std::size_t j = fileStart; j < i; ++j) {
                batch.Add(Found[j].Entry);
            }
            fileStart = i;
        }
        Candidate &candidate = Found[i];
        candidate.Fits = MakeActivityEntry(candidate.Found, ChosenUnit, candidate.Entry);
        candidate.Duplicate = candidate.Fits && (Existing.Contains(candidate.Entry) || batch.Contains(candidate.Entry));
    }
}

} // namespace pq
