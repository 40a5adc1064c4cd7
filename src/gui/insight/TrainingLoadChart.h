#pragma once

#include <QRectF>

#include <vector>

#include "insight/ChartView.h"
#include "insight/TrainingLoad.h"

// Training load, a day per slot: above, the daily load as bars with fitness and fatigue as lines and form as a
// shaded area around zero; below, the acute:chronic ratio on its own axis over faint bands for its zones.
class TrainingLoadChart : public ChartView {
    Q_OBJECT

public:
    enum class Curve { Fitness, Fatigue, Form, Ratio };

    explicit TrainingLoadChart(QWidget *parent = nullptr);

    void SetDays(std::vector<pq::LoadDay> days);
    const std::vector<pq::LoadDay> &Days() const { return Series; }

    // The upper plot (load, fitness, fatigue and form) and the lower one (the ratio) in a chart of this size.
    QRectF LoadPlot(const QSizeF &size) const;
    QRectF RatioPlot(const QSizeF &size) const;
    // The values at the top and the bottom of the upper plot, and at the top of the lower one (its bottom is 0).
    double LoadTop() const { return Top; }
    double LoadBottom() const { return Bottom; }
    double RatioTop() const { return TopRatio; }
    // The bar of a day's load; a day without runs has a bar of no height.
    QRectF BarRect(std::size_t index, const QSizeF &size) const;
    // Where a curve passes over a day: the middle of the day's slot.
    QPointF PointAt(Curve curve, std::size_t index, const QSizeF &size) const;
    // The band of a zone of the ratio in the lower plot.
    QRectF ZoneBand(pq::LoadZone zone, const QSizeF &size) const;

    void Draw(QPainter &painter, const QSizeF &size) const override;
    QString ToolTipAt(const QPointF &point) const override;
    QString Summary() const override;
    QSize sizeHint() const override;

private:
    qreal Slot(const QSizeF &size) const;
    qreal LoadY(double value, const QRectF &plot) const;
    qreal RatioY(double ratio, const QRectF &plot) const;
    void DrawLoadAxis(QPainter &painter, const QRectF &plot) const;
    void DrawRatioAxis(QPainter &painter, const QRectF &plot) const;
    void DrawDayLabels(QPainter &painter, const QSizeF &size) const;
    void DrawLegend(QPainter &painter) const;

    std::vector<pq::LoadDay> Series;
    double Top = 1;
    double Bottom = 0;
    double TopRatio = 2;
};
