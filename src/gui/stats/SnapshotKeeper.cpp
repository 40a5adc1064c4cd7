#include "stats/SnapshotKeeper.h"

#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/LogTableModel.h"

namespace {

// Up to this many rows left to take are taken only when the snapshot is asked for: that is quicker than a frame,
// and costs nothing while the log is opened or edited.
constexpr int RowsTakenWhenAsked = 20'000;

} // namespace

SnapshotKeeper::SnapshotKeeper(const LogTableModel &model, QObject *parent) : QObject(parent), Model(model) {
    const auto resume = [this] { Resume(); };
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        Pause();
        Resumable = false;
    });
    // A sort leaves the snapshot as it is; only a build still taking rows must be done with them first, and a
    // build that was stopped cannot go on, as other rows come first.
    connect(&model, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] {
        if (Worker.joinable())
            RowsTaken.wait(false);
        else
            Resumable = false;
    });
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        Stale = true;
        Resumable = false;
        Resume();
    });
    connect(&model, &QAbstractItemModel::layoutChanged, this, resume);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, resume);
    connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this](const QModelIndex &, int first, int) {
        Pause();
        Resumable = Resumable && first >= Building.RowsTaken();
    });
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex &, int first, int last) {
        Pause();
        if (Stale) {
            Resumable = Resumable && first >= Building.RowsTaken();
            return;
        }
        const pq::LogList &list = Model.List();
        for (int row = first; row <= last; ++row)
            Snapshot.RemoveRow(list.Text(row, pq::DateColumn), list.Text(row, pq::DistanceColumn),
                               list.Text(row, pq::TimeColumn));
    });
    connect(&model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        if (Stale) {
            Resume();
            return;
        }
        const pq::LogList &list = Model.List();
        for (int row = first; row <= last; ++row)
            Snapshot.AddRow(list.Text(row, pq::DateColumn), list.Text(row, pq::DistanceColumn),
                            list.Text(row, pq::TimeColumn));
    });
    StartBuild();
}

const pq::LiveSnapshot &SnapshotKeeper::Current() {
    TakeBuild();
    if (Stale)
        BuildNow();
    return Snapshot;
}

void SnapshotKeeper::Stop() {
    disconnect(&Model, nullptr, this, nullptr);
    Pause();
}

void SnapshotKeeper::Pause() {
    if (Worker.joinable()) {
        Worker.request_stop();
        TakeBuild();
    }
}

void SnapshotKeeper::Resume() {
    if (Stale && !Worker.joinable())
        StartBuild();
}

void SnapshotKeeper::StartBuild() {
    const pq::LogList &list = Model.List();
    if (list.RowCount() - (Resumable ? Building.RowsTaken() : 0) <= RowsTakenWhenAsked)
        return;
    if (!Resumable)
        Building = pq::LiveSnapshot();
    // The rows taken so far stay valid while the rows before the next one to take are left as they are.
    Resumable = true;
    Built = false;
    RowsTaken = false;
    Worker = std::jthread([this, &list](const std::stop_token &stop) {
        const bool taken = Building.TakeRows(list, stop);
        RowsTaken = true;
        RowsTaken.notify_all();
        if (taken)
            Building.Finish();
        Built = taken;
    });
}

void SnapshotKeeper::BuildNow() {
    if (!Resumable)
        Building = pq::LiveSnapshot();
    Building.TakeRows(Model.List(), {});
    Building.Finish();
    Built = true;
    Adopt();
}

void SnapshotKeeper::TakeBuild() {
    if (!Worker.joinable())
        return;
    Worker.join();
    if (Built)
        Adopt();
}

void SnapshotKeeper::Adopt() {
    Snapshot = std::move(Building);
    Building = pq::LiveSnapshot();
    Stale = false;
    Resumable = false;
}
