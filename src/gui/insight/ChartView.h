#pragma once

#include <QColor>
#include <QPen>
#include <QPolygonF>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <vector>

#include "calc/RunArithmetic.h"
#include "insight/CountedRuns.h"

class QPainter;

// The base of the charts: draws through Draw, on screen at any device pixel ratio and into PNG or SVG files;
// shows the exact values under the pointer as a tooltip; keeps a short text summary as the accessible
// description for screen readers. Colours come from the palette, so a dark theme stays readable.
class ChartView : public QWidget {
    Q_OBJECT

public:
    struct Colours {
        QColor Background;
        QColor Text;
        QColor Grid;
        QColor Bar;
        QColor Warning;
        QColor StrongWarning;
        QColor Line;
        QColor Faint;
    };

    explicit ChartView(QWidget *parent = nullptr);

    // Draws the whole chart into a rectangle of this size, in logical pixels, from (0, 0).
    virtual void Draw(QPainter &painter, const QSizeF &size) const = 0;
    // The exact values under a point of the widget, or an empty text.
    virtual QString ToolTipAt(const QPointF &point) const = 0;
    // One or two sentences that say what the chart shows.
    virtual QString Summary() const = 0;

    // Writes the chart at its current size: PNG (at twice the pixels, so it stays sharp) or, for a name ending in
    // ".svg", SVG. False with the reason when the file cannot be written.
    bool SaveImage(const QString &path, QString &error) const;

    Colours ChartColours() const;

    // The values of some runs for a tooltip: distance, runs, time and average pace.
    static QString TotalsText(const pq::RunTotals &totals, pq::DistanceUnit unit);
    static QString DistanceText(double distance, pq::DistanceUnit unit);
    static QString DayText(int dayNumber);

    // The smallest of 1, 2 or 5 times a power of ten that is at least the value (1 for nothing to show).
    static double AxisTopFor(double value);
    // How many steps an axis up to such a top is labelled in, so that every label is round: 5 for 1 and 5 times a
    // power of ten (0, 10, 20 ... 50), 4 for 2 times one (0, 5, 10, 15, 20).
    static int AxisStepsFor(double top);
    // Where labels of this height go, each as near its wanted centre as can be without overlapping another or
    // leaving the span from top to bottom; the order of the wanted centres is kept.
    static std::vector<qreal> SpreadLabels(const std::vector<qreal> &wanted, qreal height, qreal top, qreal bottom);
    // The unit's word for an axis title: "Miles" or "Kilometers".
    static QString UnitTitle(pq::DistanceUnit unit);
    // Lines stroked as one with a pen.
    struct Stroke {
        std::vector<QPolygonF> Lines;
        QPen Pen;
    };
    // Strokes lines whose points go from left to right, in a chart of this size, each stroke after the one before,
    // with the pixels of drawing each stroke whole but in a time that grows with the lines' length (Qt's
    // rasterizer takes one that grows with the square of a long line's outline, and hands a long stroke's fill to
    // its threads). A dashed pen's pattern runs on as in one stroke along a single line.
    static void StrokeLines(QPainter &painter, const std::vector<Stroke> &strokes, const QSizeF &size);
    // Fills the area between such a line and the height baseline, with the pixels of one fill of it and in a time
    // that grows with the line's length.
    static void FillDownTo(QPainter &painter, const QPolygonF &line, qreal baseline, const QBrush &brush,
                           const QSizeF &size);

protected:
    // Margins around the plot area: room for the value labels on the left, dates below and a legend above.
    static constexpr qreal LeftMargin = 64;
    static constexpr qreal RightMargin = 16;
    static constexpr qreal TopMargin = 28;
    static constexpr qreal BottomMargin = 24;
    static QRectF PlotRect(const QSizeF &size);
    // Whether the chart is being drawn for the window, rather than into a file.
    bool OnScreen() const { return PaintingScreen; }
    // The colour a share of the way from one colour to another.
    static QColor Blend(const QColor &from, const QColor &to, qreal share);
    // The part of a chart of this size that the painter draws into: what is exposed on screen, the whole chart in
    // a file.
    static QRectF DrawnArea(const QPainter &painter, const QSizeF &size);
    // Grid lines and round value labels up the axis, with the unit's word along it when one is given.
    void DrawValueAxis(QPainter &painter, const QRectF &plot, double top, const QString &unit = {}) const;
    void DrawValueGrid(QPainter &painter, const QRectF &plot, double top) const;
    // The labels and the unit's word in the margin left of the plot, moved right by left.
    void DrawValueLabels(QPainter &painter, const QRectF &plot, double top, const QString &unit, qreal left) const;
    // A value's label left of the plot, centred on the height y, moved right by left.
    void DrawValueLabel(QPainter &painter, qreal y, double value, qreal left = 0) const;

    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    // To be called when the data changes: repaints and renews the accessible description.
    void DataChanged();

private:
    void Render(QPainter &painter, const QSizeF &size) const;

    bool PaintingScreen = false;
};
