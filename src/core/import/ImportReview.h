#pragma once

#include <functional>
#include <string>
#include <vector>

#include "calc/DateRules.h"
#include "calc/RunArithmetic.h"
#include "import/ActivityEntry.h"
#include "import/ActivityFiles.h"
#include "import/DuplicateCheck.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

// What an import found, as the review shows it: each activity with its row in the chosen unit, each row of a CSV
// file as it stands, and whether that row would duplicate one already in the log (or one from an earlier file of
// the batch), and each file that could not be read with the reason.
class ImportReview {
public:
    struct Candidate {
        Activity Found; // for a CSV row: a run that names no sport
        std::string File;
        LogEntry Entry;
        bool FromCsv = false; // a CSV row keeps its own texts whatever the unit
        bool Fits = true;     // false when the distance or the time is too long for a row
        bool Duplicate = false;
        // Why the row cannot be made, or what the user must look at first (then it is not ticked at first).
        std::string Remark;
    };

    // Changes the notes (Windows-1252) of an activity's row, once the row is made; CSV rows are the user's own.
    using NotesChange = std::function<void(std::string &notes)>;

    // The log must outlive the review and stay as it is meanwhile.
    explicit ImportReview(const LogList &log);

    // Applies to the activities added from now on, and to all of them when their rows are made again.
    void SetActivityNotes(NotesChange change) { ChangeNotes = std::move(change); }

    // Adds what ReadActivityFile found in a file of any format the import takes (told by its content, as pquil
    // import tells it): a CSV file is read here.
    void AddRead(const std::string &path, FileActivities found);
    void AddFile(const std::string &file, FileActivities activities);
    // The rows of a CSV file, all of them: a file with a row that does not fit is added as unreadable instead.
    void AddCsvRows(const std::string &file, const std::vector<LogEntry> &rows);
    void AddUnreadable(ReadError error);
    void SetUnit(DistanceUnit unit);
    DistanceUnit Unit() const { return ChosenUnit; }
    // Which time of an activity goes into its row: the moving time unless the user chooses the elapsed one.
    void SetTime(RowTime time);
    RowTime Time() const { return ChosenTime; }
    // The date the user gives an activity without one (its clock was not set): it starts at noon of that day.
    void SetDate(std::size_t index, const CivilDate &date);

    const std::vector<Candidate> &Candidates() const { return Found; }
    const std::vector<ReadError> &Unreadable() const { return Failures; }
    // Ticked before the user changes anything: runs that fit a row, are not duplicates and carry no remark.
    bool TickedAtFirst(std::size_t index) const;
    std::size_t DuplicateCount() const;

private:
    // Makes the candidate's row in the chosen unit, checks it against the log and the earlier files, and adds it.
    void Append(Candidate candidate);
    void Recompute();

    DuplicateCheck Existing;
    LogList Batch;          // the candidates' rows, in their order
    DuplicateCheck Earlier; // over Batch: the rows of the files before the one being added
    DistanceUnit ChosenUnit = DistanceUnit::Miles;
    RowTime ChosenTime = RowTime::Moving;
    NotesChange ChangeNotes;
    std::vector<Candidate> Found;
    std::vector<ReadError> Failures;
};

} // namespace pq
