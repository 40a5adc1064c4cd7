#include "insight/InsightSource.h"

#include <QAbstractItemModel>

#include "calc/DateRules.h"
#include "insight/MarkTotals.h"
#include "log/LogProfileWatch.h"
#include "log/NoteMarks.h"
#include "stats/StatsCalendar.h"

InsightSource::InsightSource(const pq::LogList &list, const QAbstractItemModel &model, QObject *parent)
    : QObject(parent), Log(list) {
    Pending.setSingleShot(true);
    Pending.setInterval(0);
    connect(&Pending, &QTimer::timeout, this, &InsightSource::Recount);
    const auto later = [this] { Pending.start(); };
    connect(&model, &QAbstractItemModel::rowsInserted, this, later);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, later);
    connect(&model, &QAbstractItemModel::modelReset, this, later);
    connect(&model, &QAbstractItemModel::layoutChanged, this, later);
    connect(&model, &QAbstractItemModel::dataChanged, this, later);
    Counted = pq::CountRuns(Log, RowsTaken);
}

int InsightSource::Today() {
    const pq::CivilDate today = pq::TodayDate();
    return pq::DayNumber(today.Year, today.Month, today.Day);
}

void InsightSource::SetFilter(pq::RowFilter filter) {
    RowsTaken = std::move(filter);
    Recount();
}

void InsightSource::SetTag(std::optional<std::string> tag) {
    ChosenTag = std::move(tag);
    SetFilter(ChosenTag ? pq::MarkFilter(Log, pq::TagSign, *ChosenTag) : pq::RowFilter());
}

void InsightSource::Recount() {
    Pending.stop();
    Counted = pq::CountRuns(Log, RowsTaken);
    emit RunsChanged();
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
