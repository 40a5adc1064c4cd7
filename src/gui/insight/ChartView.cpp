#include "insight/ChartView.h"

#include <QFileInfo>
#include <QHelpEvent>
#include <QImage>
#include <QImageWriter>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScopedValueRollback>
#include <QSvgGenerator>
#include <QToolTip>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <thread>

#include "insight/ReportFormats.h"

namespace {

// Saved images have twice the pixels of the chart on screen.
constexpr qreal ImageScale = 2.0;
const QString SvgSuffix = QStringLiteral("svg");
// Lightness from which a background counts as light.
constexpr int LightBackground = 128;
// An axis whose top is 2 times a power of ten is labelled in quarters, any other in fifths.
constexpr int QuarterSteps = 4;
constexpr int FifthSteps = 5;
constexpr int QuarteredLeadingDigit = 2;
constexpr qreal LabelHeight = 16;
// Grid lines and the cells of empty days are the text's colour over the background at these shares, which shows
// in light and dark themes alike.
constexpr qreal GridShare = 0.3;
constexpr qreal LabelGap = 6;
constexpr int ValueDigits = 6;
// Lines are stroked in strips this many device pixels wide, each with the segments within this many pen widths of
// it.
constexpr int StripColumns = 24;
constexpr qreal StripMargin = 2;
// A second thread takes half the strips from this many on, in images of this many bits a pixel.
constexpr std::size_t SharedStrips = 8;
constexpr int SharedImageDepth = 32;
// An area is filled in such strips with the points within this many pixels of each.
constexpr qreal FillMargin = 1;

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
    chart.Grid = Blend(chart.Background, colours.color(QPalette::Text), GridShare);
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

int ChartView::AxisStepsFor(double top) {
    if (!(top > 0))
        return FifthSteps;
    const double leading = top / std::pow(10.0, std::floor(std::log10(top)));
    return std::lround(leading) == QuarteredLeadingDigit ? QuarterSteps : FifthSteps;
}

std::vector<qreal> ChartView::SpreadLabels(const std::vector<qreal> &wanted, qreal height, qreal top, qreal bottom) {
    std::vector<std::size_t> order(wanted.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&wanted](std::size_t a, std::size_t b) { return wanted[a] < wanted[b]; });
    std::vector<qreal> placed(wanted.size());
    // Down from the top, each at least a label's height below the one before; then up from the bottom, so that
    // the lowest stays inside the span.
    qreal next = top + height / 2;
    for (const std::size_t i : order) {
        placed[i] = std::max(wanted[i], next);
        next = placed[i] + height;
    }
    qreal limit = bottom - height / 2;
    for (auto i = order.rbegin(); i != order.rend(); ++i) {
        placed[*i] = std::min(placed[*i], limit);
        limit = placed[*i] - height;
    }
    return placed;
}

namespace {

// The run of a line's points (their x ascending) that draws the line from x = left to x = right: from the last
// point at or before left to the first after right.
std::pair<QPolygonF::const_iterator, QPolygonF::const_iterator> Reaching(const QPolygonF &line, qreal left,
                                                                         qreal right) {
    const auto before = [](qreal x) { return [x](const QPointF &point) { return point.x() <= x; }; };
    auto first = std::partition_point(line.begin(), line.end(), before(left));
    auto last = std::partition_point(first, line.end(), before(right));
    return {first == line.begin() ? first : first - 1, last == line.end() ? last : last + 1};
}

// The image a painter paints into, when a second painter may paint parts of it at the same time with the same
// pixels: a raster image of 32-bit pixels at a whole device pixel ratio, clipped to one rectangle or not at all.
QImage *ShareableImage(const QPainter &painter) {
    if (painter.paintEngine()->type() != QPaintEngine::Raster || painter.device()->devType() != QInternal::Image)
        return nullptr;
    auto *image = static_cast<QImage *>(painter.device());
    const qreal scale = image->devicePixelRatio();
    if (image->depth() != SharedImageDepth || scale != std::round(scale) ||
        (painter.hasClipping() && painter.clipRegion().rectCount() != 1))
        return nullptr;
    return image;
}

// Calls draw for each strip across the drawn area, with a painter clipped to the strip. Painting into an image
// (charts on screen are drawn into one first), a second thread takes the left half of the strips: its painter
// paints the same pixels of the image, and the strips of the two do not meet.
template <typename Draw> void InStrips(QPainter &painter, const QRectF &drawn, Draw draw) {
    const qreal scale = painter.device()->devicePixelRatio();
    const bool clipped = painter.hasClipping();
    std::vector<QRectF> strips;
    for (auto column = int(std::floor(drawn.left() * scale)); column < drawn.right() * scale; column += StripColumns)
        strips.emplace_back(column / scale, drawn.top(), StripColumns / scale, drawn.height());
    const auto drawStrips = [&](QPainter &on, std::size_t first, std::size_t last) {
        for (std::size_t strip = first; strip < last; ++strip) {
            on.save();
            on.setClipRect(strips[strip], clipped ? Qt::IntersectClip : Qt::ReplaceClip);
            draw(on, strips[strip]);
            on.restore();
        }
    };
    QImage *image = ShareableImage(painter);
    if (!image || strips.size() < SharedStrips) {
        drawStrips(painter, 0, strips.size());
        return;
    }
    const std::size_t middle = strips.size() / 2;
    const QPainter::RenderHints hints = painter.renderHints();
    const QTransform transform = painter.worldTransform();
    const QRegion clip = clipped ? painter.clipRegion() : QRegion();
    const QPainter::CompositionMode mode = painter.compositionMode();
    const qreal opacity = painter.opacity();
    uchar *const bits = image->bits();
    std::jthread left([&] {
        QImage view(bits, image->width(), image->height(), image->bytesPerLine(), image->format());
        view.setDevicePixelRatio(scale);
        QPainter other(&view);
        other.setRenderHints(hints);
        other.setWorldTransform(transform);
        if (clipped)
            other.setClipRegion(clip);
        other.setCompositionMode(mode);
        other.setOpacity(opacity);
        drawStrips(other, 0, middle);
    });
    drawStrips(painter, middle, strips.size());
}

} // namespace

// Strip by strip, each clipped to its device pixel columns and drawn with the parts of the lines that come within a
// margin of it: inside the strip the outline is the whole drawing's, and the ends of the parts, with their caps or
// the edges that close an area, lie outside it. The strokes follow each other in every strip, so a pixel gets them
// in their order, as when each is drawn whole in turn. Other devices than the raster (SVG) get the lines whole.
void ChartView::StrokeLines(QPainter &painter, const std::vector<Stroke> &strokes, const QSizeF &size) {
    if (painter.paintEngine()->type() != QPaintEngine::Raster) {
        for (const Stroke &stroke : strokes) {
            QPainterPath path;
            for (const QPolygonF &line : stroke.Lines)
                path.addPolygon(line);
            painter.strokePath(path, stroke.Pen);
        }
        return;
    }
    InStrips(painter, DrawnArea(painter, size), [&](QPainter &on, const QRectF &strip) {
        for (const Stroke &stroke : strokes) {
            QPen pen = stroke.Pen;
            const qreal margin = StripMargin * pen.widthF();
            QPainterPath path;
            for (const QPolygonF &line : stroke.Lines) {
                const auto [first, last] = Reaching(line, strip.left() - margin, strip.right() + margin);
                if (last - first < 2)
                    continue;
                // A dash offset makes a solid pen one of an empty dash pattern, which draws nothing.
                if (path.isEmpty() && pen.style() != Qt::SolidLine) {
                    qreal length = 0;
                    for (auto point = line.begin(); point != first; ++point)
                        length += QLineF(point[0], point[1]).length();
                    pen.setDashOffset(stroke.Pen.dashOffset() + length / pen.widthF());
                }
                path.addPolygon(QPolygonF(QList<QPointF>(first, last)));
            }
            if (!path.isEmpty())
                on.strokePath(path, pen);
        }
    });
}

void ChartView::FillDownTo(QPainter &painter, const QPolygonF &line, qreal baseline, const QBrush &brush,
                           const QSizeF &size) {
    const auto area = [&](QPainter &on, QPolygonF::const_iterator first, QPolygonF::const_iterator last) {
        QPolygonF outline(QList<QPointF>(first, last));
        outline << QPointF(outline.back().x(), baseline) << QPointF(outline.front().x(), baseline);
        QPainterPath path;
        path.addPolygon(outline);
        path.closeSubpath();
        on.fillPath(path, brush);
    };
    if (line.size() < 2)
        return;
    if (painter.paintEngine()->type() != QPaintEngine::Raster) {
        area(painter, line.begin(), line.end());
        return;
    }
    InStrips(painter, DrawnArea(painter, size), [&](QPainter &on, const QRectF &strip) {
        const auto [first, last] = Reaching(line, strip.left() - FillMargin, strip.right() + FillMargin);
        if (last - first >= 2)
            area(on, first, last);
    });
}

QString ChartView::UnitTitle(pq::DistanceUnit unit) {
    return FromBytes(std::string(pq::UnitWord(unit)));
}

QColor ChartView::Blend(const QColor &from, const QColor &to, qreal share) {
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * share),
                            float(from.greenF() + (to.greenF() - from.greenF()) * share),
                            float(from.blueF() + (to.blueF() - from.blueF()) * share));
}

QRectF ChartView::PlotRect(const QSizeF &size) {
    return QRectF(LeftMargin, TopMargin, std::max<qreal>(1, size.width() - LeftMargin - RightMargin),
                  std::max<qreal>(1, size.height() - TopMargin - BottomMargin));
}

void ChartView::DrawValueAxis(QPainter &painter, const QRectF &plot, double top, const QString &unit) const {
    DrawValueGrid(painter, plot, top);
    DrawValueLabels(painter, plot, top, unit, 0);
}

void ChartView::DrawValueGrid(QPainter &painter, const QRectF &plot, double top) const {
    const int steps = AxisStepsFor(top);
    painter.setPen(QPen(ChartColours().Grid, 0));
    for (int step = 0; step <= steps; ++step) {
        const qreal y = plot.bottom() - plot.height() * step / steps;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
}

void ChartView::DrawValueLabels(QPainter &painter, const QRectF &plot, double top, const QString &unit,
                                qreal left) const {
    const int steps = AxisStepsFor(top);
    for (int step = 0; step <= steps; ++step) {
        const double value = top * step / steps;
        const qreal y = plot.bottom() - plot.height() * step / steps;
        DrawValueLabel(painter, y, value, left);
    }
    if (unit.isEmpty())
        return;
    // Along the axis, read from below, at the margin's left edge.
    painter.save();
    painter.translate(left, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), LabelHeight), Qt::AlignCenter, unit);
    painter.restore();
}

void ChartView::DrawValueLabel(QPainter &painter, qreal y, double value, qreal left) const {
    painter.setPen(ChartColours().Text);
    painter.drawText(QRectF(left, y - LabelHeight / 2, LeftMargin - LabelGap, LabelHeight),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'g', ValueDigits));
}

void ChartView::Render(QPainter &painter, const QSizeF &size) const {
    painter.setRenderHint(QPainter::Antialiasing);
    // A file's painter starts with the application's font; the chart measures its texts with its own.
    painter.setFont(font());
    painter.fillRect(QRectF(QPointF(), size), ChartColours().Background);
    Draw(painter, size);
}

// Clipped to the exposed part, which tells a wide chart in a scroll area which of its parts to draw. At a whole
// device pixel ratio the part is drawn into an image of the window's own pixel format first, which the lines'
// strips can be shared out on, and then copied pixel for pixel.
void ChartView::paintEvent(QPaintEvent *event) {
    const QScopedValueRollback screen(PaintingScreen, true);
    QPainter painter(this);
    if (!painter.isActive())
        return;
    const qreal scale = devicePixelRatioF();
    const auto *window = painter.paintEngine()->paintDevice();
    if (scale != std::round(scale) || window->devType() != QInternal::Image) {
        painter.setClipRect(event->rect());
        Render(painter, size());
        return;
    }
    const QRect exposed = event->rect();
    QImage frame(exposed.size() * int(scale), static_cast<const QImage *>(window)->format());
    frame.setDevicePixelRatio(scale);
    {
        QPainter framePainter(&frame);
        framePainter.translate(-exposed.topLeft());
        framePainter.setClipRect(exposed);
        Render(framePainter, size());
    }
    painter.drawImage(exposed.topLeft(), frame);
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
