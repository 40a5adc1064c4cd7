#include "insight/ChartView.h"

#include <QFileInfo>
#include <QHelpEvent>
#include <QImage>
#include <QImageWriter>
#include <QPaintEvent>
#include <QPainter>
#include <QSvgGenerator>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "insight/ReportFormats.h"

namespace {

// Saved images have twice the pixels of the chart on screen.
constexpr qreal ImageScale = 2.0;
const QString SvgSuffix = QStringLiteral("svg");
// Lightness from which a background counts as light.
constexpr int LightBackground = 128;
// The value axis is labelled at quarters of its height.
constexpr int AxisSteps = 4;
constexpr qreal LabelHeight = 16;
constexpr qreal LabelGap = 6;
constexpr int ValueDigits = 6;

QString FromBytes(const std::string &text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

ChartView::ChartView(QWidget *parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

ChartView::Colours ChartView::ChartColours() const {
    const QPalette &colours = palette();
    const bool light = colours.color(QPalette::Base).lightness() >= LightBackground;
    Colours chart;
    chart.Background = colours.color(QPalette::Base);
    chart.Text = colours.color(QPalette::Text);
    chart.Grid = colours.color(QPalette::Mid);
    chart.Bar = colours.color(QPalette::Highlight);
    // An orange and a vermilion (Okabe and Ito's colour-blind-safe set) that stand out from the bars and from the
    // background in either kind of theme, and from each other by their lightness as well as their hue.
    chart.Warning = light ? QColor(0xE6, 0x9F, 0x00) : QColor(0xFF, 0xD3, 0x5C);
    chart.StrongWarning = light ? QColor(0xB3, 0x3C, 0x00) : QColor(0xF0, 0x70, 0x30);
    chart.Line = colours.color(QPalette::Text);
    chart.Faint = colours.color(QPalette::PlaceholderText);
    return chart;
}

QString ChartView::DistanceText(double distance, pq::DistanceUnit unit) {
    return FromBytes(pq::FormatHundredths(distance)) + ' ' + FromBytes(std::string(pq::UnitWord(unit)));
}

QString ChartView::DayText(int dayNumber) {
    return FromBytes(pq::DayText(dayNumber));
}

QString ChartView::TotalsText(const pq::RunTotals &totals, pq::DistanceUnit unit) {
    const double paced = unit == pq::DistanceUnit::Miles ? totals.PacedMiles : totals.PacedKilometers;
    const QString pace = FromBytes(pq::PaceText(totals.PacedSeconds, paced));
    QString text = tr("Distance: %1\nRuns: %2\nTime: %3")
                       .arg(DistanceText(pq::DistanceIn(totals, unit), unit))
                       .arg(totals.Runs)
                       .arg(FromBytes(pq::ClockText(totals.Seconds)));
    if (!pace.isEmpty())
        text +=
            tr("\nAverage pace: %1 per %2").arg(pace, unit == pq::DistanceUnit::Miles ? tr("mile") : tr("kilometer"));
    return text;
}

bool ChartView::SaveImage(const QString &path, QString &error) const {
    const QSizeF area = size();
    if (QFileInfo(path).suffix().compare(SvgSuffix, Qt::CaseInsensitive) == 0) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size());
        svg.setViewBox(QRectF(QPointF(), area));
        svg.setTitle(windowTitle());
        svg.setDescription(Summary());
        QPainter painter;
        if (!painter.begin(&svg)) {
            error = tr("The file cannot be written.");
            return false;
        }
        Render(painter, area);
        return painter.end();
    }
    QImage image((area * ImageScale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ImageScale);
    {
        QPainter painter(&image);
        Render(painter, area);
    }
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        error = writer.errorString();
        return false;
    }
    return true;
}

double ChartView::AxisTopFor(double value) {
    if (!(value > 0))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * power >= value)
            return step * power;
    }
    return 10 * power;
}

QRectF ChartView::PlotRect(const QSizeF &size) {
    return QRectF(LeftMargin, TopMargin, std::max<qreal>(1, size.width() - LeftMargin - RightMargin),
                  std::max<qreal>(1, size.height() - TopMargin - BottomMargin));
}

void ChartView::DrawValueAxis(QPainter &painter, const QRectF &plot, double top) const {
    const Colours colours = ChartColours();
    for (int step = 0; step <= AxisSteps; ++step) {
        const double value = top * step / AxisSteps;
        const qreal y = plot.bottom() - plot.height() * step / AxisSteps;
        painter.setPen(QPen(colours.Grid, 0));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        DrawValueLabel(painter, y, value);
    }
}

void ChartView::DrawValueLabel(QPainter &painter, qreal y, double value) const {
    painter.setPen(ChartColours().Text);
    painter.drawText(QRectF(0, y - LabelHeight / 2, LeftMargin - LabelGap, LabelHeight),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'g', ValueDigits));
}

void ChartView::Render(QPainter &painter, const QSizeF &size) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(), size), ChartColours().Background);
    Draw(painter, size);
}

// Clipped to the exposed part, which tells a wide chart in a scroll area which of its parts to draw.
void ChartView::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.setClipRect(event->rect());
    Render(painter, size());
}

QRectF ChartView::DrawnArea(const QPainter &painter, const QSizeF &size) {
    const QRectF whole(QPointF(), size);
    return painter.hasClipping() ? painter.clipBoundingRect().intersected(whole) : whole;
}

bool ChartView::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void ChartView::DataChanged() {
    setAccessibleDescription(Summary());
    update();
}
