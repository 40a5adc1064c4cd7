#pragma once

#include <QRectF>

#include <utility>
#include <vector>

#include "insight/ChartSeries.h"
#include "insight/ChartView.h"

// Year over year: the distance since 1 January by day of the year, one line per year, the current year drawn
// strong, each year named right of the plot at the height where its line ends, with how far this year is on pace
// for.
class YearOverYearChart : public ChartView {
    Q_OBJECT

public:
    explicit YearOverYearChart(QWidget *parent = nullptr);

    void SetSeries(pq::YearOverYear series, pq::DistanceUnit unit);
    const pq::YearOverYear &Series() const { return Years; }
    // "On pace for N Miles this year", N a whole number.
    QString OnPaceText() const;
    // Each year's label and where it goes in a chart of this size: right of the plot, as near the height of its
    // line's end as it can be without overlapping another.
    std::vector<std::pair<int, QRectF>> YearLabels(const QSizeF &size) const;
    bool HasRuns() const;
    // The point of a year's line at a day of the year (0 for 1 January) in a chart of this size.
    QPointF PointAt(const pq::YearLine &line, std::size_t day, const QSizeF &size) const;

    void Draw(QPainter &painter, const QSizeF &size) const override;
    QString ToolTipAt(const QPointF &point) const override;
    QString Summary() const override;
    QSize sizeHint() const override;

private:
    QRectF PlotArea(const QSizeF &size) const;
    qreal YearLabelWidth() const;

    pq::YearOverYear Years;
    pq::DistanceUnit Unit = pq::DistanceUnit::Miles;
    double Top = 1;
};
