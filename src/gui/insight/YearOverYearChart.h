#pragma once

#include <QLineF>
#include <QRectF>

#include <optional>
#include <utility>
#include <vector>

#include "insight/ChartSeries.h"
#include "insight/ChartView.h"

// Year over year: the distance since 1 January by day of the year, one line per year, the current year drawn
// strong, each year named right of the plot at the height where its line ends, with how far this year is on pace
// for. A year goal is drawn as a straight dashed line from 0 on 1 January to its target on 31 December.
class YearOverYearChart : public ChartView {
    Q_OBJECT

public:
    explicit YearOverYearChart(QWidget *parent = nullptr);

    void SetSeries(pq::YearOverYear series, pq::DistanceUnit unit);
    // The current year's goal in the series' unit, or nothing for no goal line; set before SetSeries.
    void SetYearGoal(std::optional<double> target);
    const std::optional<double> &YearGoal() const { return Goal; }
    // Where the goal line starts and ends in a chart of this size; there is a goal.
    QLineF GoalLine(const QSizeF &size) const;
    const pq::YearOverYear &Series() const { return Years; }
    // "On pace for N Miles this year", N a whole number.
    QString OnPaceText() const;
    // "Goal: N Miles", N with two decimals; there is a goal.
    QString GoalText() const;
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
    // The point of a line at a day in this plot area: PointAt without measuring the area again for every point.
    QPointF PointIn(const QRectF &plot, const pq::YearLine &line, std::size_t day) const;
    void UpdateTop();
    qreal YearLabelWidth() const;

    pq::YearOverYear Years;
    pq::DistanceUnit Unit = pq::DistanceUnit::Miles;
    std::optional<double> Goal;
    double Top = 1;
};
