#pragma once

#include "insight/ChartSeries.h"
#include "insight/ChartView.h"

// Consistency: the last 53 weeks as a calendar, a column per week and a cell per day, shaded by the day's
// distance, with the current and the longest streaks of days and of weeks with a run.
class ConsistencyChart : public ChartView {
    Q_OBJECT

public:
    explicit ConsistencyChart(QWidget *parent = nullptr);

    void SetCalendar(pq::ConsistencyCalendar calendar, pq::DistanceUnit unit, int weekStart);
    const pq::ConsistencyCalendar &Calendar() const { return Days; }
    // The cell of a day (an index into the calendar's days) in a chart of this size.
    QRectF CellRect(std::size_t index, const QSizeF &size) const;
    QString StreaksText() const;

    void Draw(QPainter &painter, const QSizeF &size) const override;
    QString ToolTipAt(const QPointF &point) const override;
    QString Summary() const override;
    QSize sizeHint() const override;

private:
    qreal CellSize(const QSizeF &size) const;

    pq::ConsistencyCalendar Days;
    pq::DistanceUnit Unit = pq::DistanceUnit::Miles;
    int WeekStart = 0;
};
