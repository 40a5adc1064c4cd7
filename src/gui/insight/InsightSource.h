#pragma once

#include <QObject>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

#include "insight/LiveRuns.h"
#include "insight/LogProfile.h"

class LogProfileWatch;
class QAbstractItemModel;

namespace pq {
class LogList;
}

// The counted runs and the training loads of the open log for the Charts and Records windows. It follows the log:
// an added or removed row changes them at once, rows sorted or replaced are counted again, and once the event
// loop is idle it says that they changed. The filter is the one place that decides which rows take part. It also holds
// the log's profile (shoes, goals), when it follows one.
class InsightSource : public QObject {
    Q_OBJECT

public:
    InsightSource(const pq::LogList &list, const QAbstractItemModel &model, QObject *parent = nullptr);

    const pq::LogList &List() const { return Log; }
    const pq::RunList &Runs() const { return Counted.Runs(); }
    // The runs of rows added at the end of the log since RunsChanged was last said, when the runs changed in no
    // other way; nothing otherwise.
    const std::optional<std::vector<pq::CountedRun>> &AddedRuns() const { return Added; }
    // The daily loads of the rows that take part; counted when first asked for.
    const pq::DailyLoads &Loads() { return Counted.Loads(); }
    // Today's day number through the program's clock.
    static int Today();

    void SetFilter(pq::RowFilter filter);
    const pq::RowFilter &Filter() const { return Counted.Filter(); }
    // Takes only the runs with the tag (Windows-1252, without "#"); nothing takes every run.
    void SetTag(std::optional<std::string> tag);
    const std::optional<std::string> &Tag() const { return ChosenTag; }
    // The log's tag names (MarkNames), read again only after rows with a tag were added or removed, or the rows
    // were sorted or replaced.
    const std::vector<std::string> &TagNames();
    // Counts the rows now rather than when the loop is idle.
    void Recount();

    // Follows the profile of the open log from now on; the watch must outlive the source.
    void FollowProfile(LogProfileWatch &watch);
    // The profile followed, or an empty one.
    const pq::LogProfile &Profile() const;
    // The profile followed, or null.
    LogProfileWatch *ProfileWatch() const { return Watch; }

signals:
    void RunsChanged();
    void ProfileChanged();

private:
    // After the rows changed: the runs are counted again, or only said to have changed, when the loop is idle.
    void Later(bool recount);
    void Announce();
    // Forgets the tag names when one of the rows carries a tag.
    void NoteTaggedRows(int first, int last);

    const pq::LogList &Log;
    std::optional<std::string> ChosenTag;
    pq::LiveRuns Counted;
    std::optional<std::vector<pq::CountedRun>> Added = std::vector<pq::CountedRun>();
    bool RecountPending = false;
    std::optional<std::vector<std::string>> Tags;
    QTimer Pending;
    LogProfileWatch *Watch = nullptr;
};
