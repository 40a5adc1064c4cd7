#pragma once

#include <QRectF>
#include <QString>

#include <utility>
#include <vector>

#include "insight/ChartSeries.h"
#include "insight/ChartView.h"

// Consistency: the last 53 weeks as a calendar, a column per week and a cell per day, shaded by the day's
// distance, under a headline of the days with a run and the names of the months, beside Mon, Wed and Fri, over a
// key of the shades and the current and the longest streaks of days and of weeks with a run. The cells grow with
// the space.
class ConsistencyChart : public ChartView {
    Q_OBJECT

public:
    explicit ConsistencyChart(QWidget *parent = nullptr);

    void SetCalendar(pq::ConsistencyCalendar calendar, pq::DistanceUnit unit, int weekStart);
    const pq::ConsistencyCalendar &Calendar() const { return Days; }
    // The cell of a day (an index into the calendar's days) in a chart of this size.
    QRectF CellRect(std::size_t index, const QSizeF &size) const;
    QString StreaksText() const;
    // "142 days with a run in the last 53 weeks".
    QString Headline() const;
    bool HasRuns() const;
    // The month names over the week in which each month begins, left out where one would run into the one before.
    std::vector<std::pair<QString, QRectF>> MonthLabels(const QSizeF &size) const;
    // The weekday names beside their rows: Mon, Wed and Fri.
    std::vector<std::pair<QString, QRectF>> WeekdayLabels(const QSizeF &size) const;
    // The colour of a day: faint for a day without a run, deeper the farther the day's run.
    QColor DayColour(const pq::RunTotals &day) const;

    void Draw(QPainter &painter, const QSizeF &size) const override;
    QString ToolTipAt(const QPointF &point) const override;
    QString Summary() const override;
    QSize sizeHint() const override;

private:
    qreal CellSize(const QSizeF &size) const;
    qreal GridLeft() const;
    qreal Top(const QSizeF &size) const;
    int DaysWithARun() const;
    void DrawKey(QPainter &painter, const QRectF &area) const;
    // The colour of a day with a run at this share of the farthest day's distance.
    QColor Shade(qreal share) const;
    QColor EmptyDayColour() const;

    pq::ConsistencyCalendar Days;
    pq::DistanceUnit Unit = pq::DistanceUnit::Miles;
    int WeekStart = 0;
};
