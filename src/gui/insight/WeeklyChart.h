#pragma once

#include <QRectF>

#include <utility>
#include <vector>

#include "insight/ChartSeries.h"
#include "insight/ChartView.h"

// Weekly distance: a bar per week, a line for the average of the four weeks before each, bars over the ramp in a
// warning colour (another for a strong warning), and a small mark over a week that ends with the training load's
// ratio in "caution" or "high", with a legend. It grows wider with its weeks, so a scroll area can hold many; on
// screen the value axis and the legend stay at the left edge of the part shown (PinAxisAt) while the bars scroll.
class WeeklyChart : public ChartView {
    Q_OBJECT

public:
    explicit WeeklyChart(QWidget *parent = nullptr);

    // loadWarnings: per bar, whether it gets the training load's mark (none when empty).
    void SetBars(std::vector<pq::WeekBar> bars, pq::DistanceUnit unit, std::vector<bool> loadWarnings = {});
    const std::vector<pq::WeekBar> &Bars() const { return Weeks; }
    bool LoadWarning(std::size_t index) const { return index < LoadWarnings.size() && LoadWarnings[index]; }

    // Where the bars go inside a chart of this size, and the distance at the top of that area.
    QRectF PlotArea(const QSizeF &size) const;
    double AxisTop() const;
    // The bar of a week, for a chart of this size; an empty week has a bar of no height.
    QRectF BarRect(std::size_t index, const QSizeF &size) const;
    // The training load's mark over a week's bar.
    QRectF LoadMarkRect(std::size_t index, const QSizeF &size) const;
    // The dated weeks and where their dates go in a chart of this size: every so many weeks back from the newest,
    // each label whole inside the chart and clear of the next.
    std::vector<std::pair<std::size_t, QRectF>> DateLabels(const QSizeF &size) const;
    // Whether any week of the chart has a run.
    bool HasRuns() const;

    // Where on screen the axis and the legend are drawn: the left edge of the part of the chart shown.
    void PinAxisAt(qreal left);
    qreal PinnedAxis() const { return Pinned; }

    void Draw(QPainter &painter, const QSizeF &size) const override;
    QString ToolTipAt(const QPointF &point) const override;
    QString Summary() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    double Distance(const pq::WeekBar &bar) const;
    double Average(const pq::WeekBar &bar) const;
    void DrawLegend(QPainter &painter, const QSizeF &size, qreal left) const;
    qreal DateLabelWidth() const;

    std::vector<pq::WeekBar> Weeks;
    std::vector<bool> LoadWarnings;
    pq::DistanceUnit Unit = pq::DistanceUnit::Miles;
    double Top = 1;
    qreal Pinned = 0;
};
