#include "import/ImportReview.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "import/ActivityEntry.h"
#include "import/CsvRows.h"

namespace pq {

ImportReview::ImportReview(const LogList &log) : Existing(log), Earlier(Batch) {
    Existing.CountRowsBefore(log.RowCount());
}

void ImportReview::AddRead(const std::string &path, FileActivities found) {
    if (!found.Plain || !TakenAsCsv(found.Format, path)) {
        AddFile(path, std::move(found));
        return;
    }
    std::vector<LogEntry> rows;
    if (std::optional<ReadError> error =
            ReadCsvFile(path, [&rows](const LogEntry &entry, std::size_t) { rows.push_back(entry); })) {
        AddUnreadable(std::move(*error));
        return;
    }
    AddCsvRows(path, rows);
}

void ImportReview::AddFile(const std::string &file, FileActivities activities) {
    if (activities.Error) {
        AddUnreadable(std::move(*activities.Error));
        return;
    }
    for (Activity &activity : activities.Activities) {
        Append({std::move(activity), file, {}, false, true, false, {}});
    }
}

void ImportReview::AddCsvRows(const std::string &file, const std::vector<LogEntry> &rows) {
    Activity run;
    run.Running = true;
    for (const LogEntry &entry : rows) {
        Append({run, file, entry, true, true, false, {}});
    }
}

void ImportReview::AddUnreadable(ReadError error) {
    Failures.push_back(std::move(error));
}

void ImportReview::SetUnit(DistanceUnit unit) {
    ChosenUnit = unit;
    Recompute();
}

void ImportReview::SetDate(std::size_t index, const CivilDate &date) {
    constexpr int Noon = 12;
    constexpr int TmYearBase = 1900;
    std::tm local{};
    local.tm_year = date.Year - TmYearBase;
    local.tm_mon = date.Month - 1;
    local.tm_mday = date.Day;
    local.tm_hour = Noon;
    local.tm_isdst = -1;
    Found[index].Found.Start = static_cast<std::int64_t>(std::mktime(&local));
    Recompute();
}

void ImportReview::SetTime(RowTime time) {
    ChosenTime = time;
    Recompute();
}

bool ImportReview::TickedAtFirst(std::size_t index) const {
    const Candidate &candidate = Found[index];
    return candidate.Found.Running && candidate.Fits && !candidate.Duplicate && candidate.Remark.empty();
}

std::size_t ImportReview::DuplicateCount() const {
    return static_cast<std::size_t>(
        std::count_if(Found.begin(), Found.end(), [](const Candidate &candidate) { return candidate.Duplicate; }));
}

// A row counts as existing for the files after its own, as pquil import has it.
void ImportReview::Append(Candidate candidate) {
    if (Found.empty() || Found.back().File != candidate.File) {
        Earlier.CountRowsBefore(Batch.RowCount());
    }
    if (!candidate.FromCsv) {
        const std::string_view refusal = MakeActivityEntry(candidate.Found, ChosenUnit, ChosenTime, candidate.Entry);
        candidate.Fits = refusal.empty();
        candidate.Remark = candidate.Fits ? ActivityRemark(candidate.Found) : std::string(refusal);
        if (candidate.Fits && ChangeNotes) {
            ChangeNotes(candidate.Entry.Notes);
        }
    }
    candidate.Duplicate = candidate.Fits && (Existing.Contains(candidate.Entry) || Earlier.Contains(candidate.Entry));
    Batch.AppendEntry(candidate.Entry);
    Found.push_back(std::move(candidate));
}

void ImportReview::Recompute() {
    std::vector<Candidate> candidates = std::move(Found);
    Found.clear();
    Batch.ClearRows();
    Earlier.Clear();
    for (Candidate &candidate : candidates) {
        Append(std::move(candidate));
    }
}

} // namespace pq
