#pragma once

#include <QObject>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

#include "insight/CountedRuns.h"
#include "insight/LogProfile.h"

class LogProfileWatch;
class QAbstractItemModel;

namespace pq {
class LogList;
}

// The counted runs of the open log for the Charts and Records windows. It follows the log: any change to the
// rows (added, removed, sorted, replaced) counts them again once the event loop is idle, and says so. The filter
// is the one place that decides which rows take part. It also holds the log's profile (shoes, goals), when it
// follows one.
class InsightSource : public QObject {
    Q_OBJECT

public:
    InsightSource(const pq::LogList &list, const QAbstractItemModel &model, QObject *parent = nullptr);

    const pq::LogList &List() const { return Log; }
    const std::vector<pq::CountedRun> &Runs() const { return Counted; }
    // Today's day number through the program's clock.
    static int Today();

    void SetFilter(pq::RowFilter filter);
    const pq::RowFilter &Filter() const { return RowsTaken; }
    // Takes only the runs with the tag (Windows-1252, without "#"); nothing takes every run.
    void SetTag(std::optional<std::string> tag);
    const std::optional<std::string> &Tag() const { return ChosenTag; }
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
    const pq::LogList &Log;
    pq::RowFilter RowsTaken;
    std::optional<std::string> ChosenTag;
    std::vector<pq::CountedRun> Counted;
    QTimer Pending;
    LogProfileWatch *Watch = nullptr;
};
