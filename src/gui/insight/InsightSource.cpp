#include "insight/InsightSource.h"

#include <QAbstractItemModel>

#include "calc/DateRules.h"
#include "insight/MarkTotals.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/LogProfileWatch.h"
#include "log/NoteMarks.h"
#include "stats/StatsCalendar.h"

InsightSource::InsightSource(const pq::LogList &list, const QAbstractItemModel &model, QObject *parent)
    : QObject(parent), Log(list), Counted(list) {
    Pending.setSingleShot(true);
    Pending.setInterval(0);
    connect(&Pending, &QTimer::timeout, this, &InsightSource::Announce);
    const auto recount = [this] { Later(true); };
    connect(&model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        const bool appended = last == Log.RowCount() - 1;
        if (!RecountPending) {
            std::vector<pq::CountedRun> runs = Counted.RowsInserted(first, last);
            if (Added && appended)
                Added->insert(Added->end(), runs.begin(), runs.end());
        }
        if (!appended)
            Added.reset();
        NoteTaggedRows(first, last);
        Later(false);
    });
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex &, int first, int last) {
        if (!RecountPending)
            Counted.RowsAboutToBeRemoved(first, last);
        Added.reset();
        NoteTaggedRows(first, last);
    });
    connect(&model, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
        if (!RecountPending)
            Counted.RowsRemoved(first, last);
        Later(false);
    });
    connect(&model, &QAbstractItemModel::modelReset, this, recount);
    connect(&model, &QAbstractItemModel::layoutChanged, this, recount);
    connect(&model, &QAbstractItemModel::dataChanged, this, recount);
    Counted.Count({});
}

int InsightSource::Today() {
    const pq::CivilDate today = pq::TodayDate();
    return pq::DayNumber(today.Year, today.Month, today.Day);
}

void InsightSource::SetFilter(pq::RowFilter filter) {
    Pending.stop();
    RecountPending = false;
    Counted.Count(std::move(filter));
    Added.reset();
    emit RunsChanged();
    Added.emplace();
}

void InsightSource::SetTag(std::optional<std::string> tag) {
    ChosenTag = std::move(tag);
    SetFilter(ChosenTag ? pq::MarkFilter(Log, pq::TagSign, *ChosenTag) : pq::RowFilter());
}

void InsightSource::Recount() {
    SetFilter(Counted.Filter());
}

const std::vector<std::string> &InsightSource::TagNames() {
    if (!Tags)
        Tags = pq::MarkNames(Log, pq::TagSign);
    return *Tags;
}

void InsightSource::NoteTaggedRows(int first, int last) {
    std::vector<std::string_view> names;
    for (int row = first; row <= last && Tags; ++row) {
        pq::FindMarks(Log.Text(row, pq::NotesColumn), pq::TagSign, names);
        if (!names.empty())
            Tags.reset();
    }
}

void InsightSource::Later(bool recount) {
    if (recount) {
        Tags.reset();
        Added.reset();
        // The runs are read through the list's rows, which no longer follow them until the recount.
        Counted.Forget();
    }
    RecountPending = RecountPending || recount;
    Pending.start();
}

void InsightSource::Announce() {
    if (RecountPending) {
        Recount();
        return;
    }
    emit RunsChanged();
    Added.emplace();
}

void InsightSource::FollowProfile(LogProfileWatch &watch) {
    Watch = &watch;
    connect(Watch, &LogProfileWatch::Changed, this, &InsightSource::ProfileChanged);
    emit ProfileChanged();
}

const pq::LogProfile &InsightSource::Profile() const {
    static const pq::LogProfile none;
    return Watch ? Watch->Profile() : none;
}
