#include "insight/InsightSource.h"

#include <QAbstractItemModel>

#include "calc/DateRules.h"
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
    Counted = pq::CountRuns(Log, Filter);
}

int InsightSource::Today() {
    const pq::CivilDate today = pq::TodayDate();
    return pq::DayNumber(today.Year, today.Month, today.Day);
}

void InsightSource::SetFilter(pq::RowFilter filter) {
    Filter = std::move(filter);
    Recount();
}

void InsightSource::Recount() {
    Pending.stop();
    Counted = pq::CountRuns(Log, Filter);
    emit RunsChanged();
}
