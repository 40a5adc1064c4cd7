#pragma once

#include <string>
#include <vector>

#include "calc/RunArithmetic.h"
#include "import/ActivityFiles.h"
#include "import/DuplicateCheck.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

// What an import found, as the review shows it: each activity with its row in the chosen unit and whether that
// row would duplicate one already in the log (or one from an earlier file of the batch), and each file that could
// not be read with the reason.
class ImportReview {
public:
    struct Candidate {
        Activity Found;
        std::string File;
        LogEntry Entry;
        bool Fits = true; // false when the distance is too long for a row
        bool Duplicate = false;
    };

    explicit ImportReview(const LogList &log);

    void AddFile(const std::string &file, FileActivities activities);
    void SetUnit(DistanceUnit unit);
    DistanceUnit Unit() const { return ChosenUnit; }

    const std::vector<Candidate> &Candidates() const { return Found; }
    const std::vector<ReadError> &Unreadable() const { return Failures; }
    // Ticked before the user changes anything: runs that fit a row and are not duplicates.
    bool TickedAtFirst(std::size_t index) const;
    std::size_t DuplicateCount() const;

private:
    void Recompute();

    DuplicateCheck Existing;
    DistanceUnit ChosenUnit = DistanceUnit::Miles;
    std::vector<Candidate> Found;
    std::vector<ReadError> Failures;
};

} // namespace pq
