#pragma once

#include <QObject>

#include <atomic>
#include <stop_token>
#include <thread>

#include "stats/LiveSnapshot.h"

class LogTableModel;

// The statistics snapshot of the document client's log, kept up to date as the rows change: an added or removed
// row is added to or removed from it, a sort leaves it as it is, and new rows (a log opened or read again) are
// taken in the background, so the statistics dialog opens on totals that are ready; a small log's rows are taken
// when the dialog first asks. A row edited while they are
// taken stops the build, which goes on from where it stopped when the rows it took are still the first ones; a
// sort waits until the rows are taken.
class SnapshotKeeper : public QObject {
    Q_OBJECT

public:
    // The model must outlive the keeper, or Stop must be called before its rows go.
    SnapshotKeeper(const LogTableModel &model, QObject *parent = nullptr);

    // The snapshot of the rows as they are now; waits for a build under way.
    const pq::LiveSnapshot &Current();
    // Stops following the rows: a build under way is stopped, and none starts again.
    void Stop();

private:
    // Before the rows change: a build under way is stopped, or taken when it has finished.
    void Pause();
    // After the rows changed: a build that was stopped starts again.
    void Resume();
    // Takes the rows not yet taken on a thread of its own; a few are left for Current.
    void StartBuild();
    void BuildNow();
    // Waits for the build under way and takes its snapshot when it finished.
    void TakeBuild();
    void Adopt();

    const LogTableModel &Model;
    pq::LiveSnapshot Snapshot;
    // Written by the worker only while it runs; read once it has been joined.
    pq::LiveSnapshot Building;
    bool Built = false;
    // Set by the worker once it reads the list no more: the rows are all taken, or it was stopped.
    std::atomic<bool> RowsTaken = false;
    // The snapshot does not hold the rows: a build is under way or was stopped, or none was made yet.
    bool Stale = true;
    // The rows that Building took are still the first rows of the list, so a stopped build can go on.
    bool Resumable = false;
    // Last, so that it is stopped and joined before anything it writes goes.
    std::jthread Worker;
};
