#include "insight/TrainingLoadChart.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "insight/ReportFormats.h"

namespace {

// The upper plot takes this share of the height the two plots share; a gap with room for labels parts them.
constexpr qreal UpperShare = 0.62;
constexpr qreal PlotGap = 20;
// The bar fills this share of its day's slot.
constexpr qreal BarShare = 0.7;
constexpr qreal LineWidth = 2;
constexpr qreal LegendSwatch = 10;
constexpr qreal LegendGap = 6;
constexpr qreal LegendSpacing = 18;
// Value labels closer than this are left out.
constexpr qreal LabelSpacing = 20;
// The ratio's axis title stands this far inside its plot.
constexpr qreal TitleInset = 6;
// Room above the biggest value and below the lowest form.
constexpr double Headroom = 1.05;
// The ratio's axis reaches at least this far, so that every zone shows.
constexpr double LeastRatioTop = 2;
// How opaque the form's area and the zones' bands are.
constexpr int FormAlpha = 90;
constexpr int BandAlpha = 40;
constexpr int HighBandAlpha = 70;
constexpr int PreferredWidth = 640;
constexpr int PreferredHeight = 380;

QString Text(const std::string &text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QColor WithAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

} // namespace

TrainingLoadChart::TrainingLoadChart(QWidget *parent) : ChartView(parent) {
    setAccessibleName(tr("Training load"));
}

void TrainingLoadChart::SetDays(std::vector<pq::LoadDay> days) {
    Series = std::move(days);
    double most = 0;
    double least = 0;
    double mostRatio = 0;
    for (const pq::LoadDay &day : Series) {
        most = std::max({most, day.Load, day.Fitness, day.Fatigue, day.Form});
        least = std::min(least, day.Form);
        mostRatio = std::max(mostRatio, day.Ratio.value_or(0));
    }
    Top = AxisTopFor(most * Headroom);
    Bottom = least < 0 ? -AxisTopFor(-least * Headroom) : 0;
    TopRatio = std::max(LeastRatioTop, AxisTopFor(mostRatio * Headroom));
    DataChanged();
}

QRectF TrainingLoadChart::LoadPlot(const QSizeF &size) const {
    QRectF plot = PlotRect(size);
    plot.setHeight(std::max<qreal>(1, (plot.height() - PlotGap) * UpperShare));
    return plot;
}

QRectF TrainingLoadChart::RatioPlot(const QSizeF &size) const {
    QRectF plot = PlotRect(size);
    plot.setTop(LoadPlot(size).bottom() + PlotGap);
    plot.setHeight(std::max<qreal>(1, plot.height()));
    return plot;
}

qreal TrainingLoadChart::Slot(const QSizeF &size) const {
    return PlotRect(size).width() / qreal(std::max<std::size_t>(1, Series.size()));
}

qreal TrainingLoadChart::LoadY(double value, const QRectF &plot) const {
    return plot.bottom() - plot.height() * (value - Bottom) / (Top - Bottom);
}

qreal TrainingLoadChart::RatioY(double ratio, const QRectF &plot) const {
    return plot.bottom() - plot.height() * std::min(ratio, TopRatio) / TopRatio;
}

QRectF TrainingLoadChart::BarRect(std::size_t index, const QSizeF &size) const {
    const QRectF plot = LoadPlot(size);
    const qreal slot = Slot(size);
    const qreal zero = LoadY(0, plot);
    const qreal top = LoadY(std::max(0.0, Series[index].Load), plot);
    return QRectF(plot.left() + slot * qreal(index) + slot * (1 - BarShare) / 2, top, slot * BarShare, zero - top);
}

QPointF TrainingLoadChart::PointAt(Curve curve, std::size_t index, const QSizeF &size) const {
    const pq::LoadDay &day = Series[index];
    const qreal x = PlotRect(size).left() + Slot(size) * (qreal(index) + 0.5);
    switch (curve) {
    case Curve::Fitness:
        return {x, LoadY(day.Fitness, LoadPlot(size))};
    case Curve::Fatigue:
        return {x, LoadY(day.Fatigue, LoadPlot(size))};
    case Curve::Form:
        return {x, LoadY(day.Form, LoadPlot(size))};
    case Curve::Ratio:
        return {x, RatioY(day.Ratio.value_or(0), RatioPlot(size))};
    }
    return {x, 0};
}

QRectF TrainingLoadChart::ZoneBand(pq::LoadZone zone, const QSizeF &size) const {
    const QRectF plot = RatioPlot(size);
    const std::array<double, 5> bounds = {0, pq::LowRatio, pq::SteadyRatio, pq::CautionRatio, TopRatio};
    const auto index = std::size_t(zone);
    const qreal top = RatioY(bounds[index + 1], plot);
    return QRectF(plot.left(), top, plot.width(), RatioY(bounds[index], plot) - top);
}

void TrainingLoadChart::Draw(QPainter &painter, const QSizeF &size) const {
    const Colours colours = ChartColours();
    const QRectF upper = LoadPlot(size);
    const QRectF lower = RatioPlot(size);
    const std::array<QColor, 4> bands = {WithAlpha(colours.Faint, BandAlpha), WithAlpha(colours.Bar, BandAlpha),
                                         WithAlpha(colours.Warning, BandAlpha),
                                         WithAlpha(colours.Warning, HighBandAlpha)};
    for (const pq::LoadZone zone : {pq::LoadZone::Low, pq::LoadZone::Steady, pq::LoadZone::Caution, pq::LoadZone::High})
        painter.fillRect(ZoneBand(zone, size), bands[std::size_t(zone)]);
    DrawLoadAxis(painter, upper);
    DrawRatioAxis(painter, lower);
    DrawDayLabels(painter, size);
    DrawLegend(painter);
    if (Series.empty())
        return;

    const qreal zero = LoadY(0, upper);
    QPolygonF form = {QPointF(PointAt(Curve::Form, 0, size).x(), zero)};
    QPolygonF fitness;
    QPolygonF fatigue;
    std::vector<QPolygonF> ratio;
    bool ratioStarted = false;
    // Where days are narrower than a pixel, the days of a pixel share one bar (their biggest load) and one point
    // of each line (their last day's), so years of days cost what a screen of them costs.
    const qreal slot = Slot(size);
    const auto group = std::size_t(std::max(1.0, std::ceil(1 / slot)));
    for (std::size_t first = 0; first < Series.size(); first += group) {
        const std::size_t last = std::min(first + group, Series.size()) - 1;
        std::size_t biggest = first;
        for (std::size_t i = first + 1; i <= last; ++i) {
            if (Series[i].Load > Series[biggest].Load)
                biggest = i;
        }
        QRectF bar = BarRect(biggest, size);
        if (group > 1) {
            bar.setLeft(BarRect(first, size).left());
            bar.setRight(BarRect(last, size).right());
        }
        painter.fillRect(bar, colours.Bar);
        form << PointAt(Curve::Form, last, size);
        fitness << PointAt(Curve::Fitness, last, size);
        fatigue << PointAt(Curve::Fatigue, last, size);
        // The ratio's line breaks where it is not defined.
        if (!Series[last].Ratio) {
            ratioStarted = false;
            continue;
        }
        if (!ratioStarted)
            ratio.emplace_back();
        ratio.back() << PointAt(Curve::Ratio, last, size);
        ratioStarted = true;
    }
    form << QPointF(PointAt(Curve::Form, Series.size() - 1, size).x(), zero);
    FillDownTo(painter, form, zero, WithAlpha(colours.Faint, FormAlpha), size);
    const QPen solid(colours.Line, LineWidth);
    StrokeLines(painter, {{{fitness}, solid}, {ratio, solid}, {{fatigue}, QPen(colours.Line, LineWidth, Qt::DashLine)}},
                size);
}

void TrainingLoadChart::DrawLoadAxis(QPainter &painter, const QRectF &plot) const {
    const Colours colours = ChartColours();
    std::vector<double> values = {0, Top / 2, Top};
    if (Bottom < 0)
        values.insert(values.end(), {Bottom / 2, Bottom});
    std::vector<qreal> labelled;
    for (const double value : values) {
        const qreal y = LoadY(value, plot);
        painter.setPen(QPen(value == 0 ? colours.Text : colours.Grid, 0));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        // A label too near one already written is left out: the form's part of the axis is often short.
        if (std::any_of(labelled.begin(), labelled.end(),
                        [y](qreal other) { return std::abs(other - y) < LabelSpacing; }))
            continue;
        labelled.push_back(y);
        DrawValueLabel(painter, y, value);
    }
}

void TrainingLoadChart::DrawRatioAxis(QPainter &painter, const QRectF &plot) const {
    const Colours colours = ChartColours();
    // 1.3 lies too near 1.5 for a label of its own; its band shows it.
    for (const double ratio : {0.0, pq::LowRatio, pq::CautionRatio, TopRatio}) {
        const qreal y = RatioY(ratio, plot);
        painter.setPen(QPen(colours.Grid, 0));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        DrawValueLabel(painter, y, ratio);
    }
    painter.setPen(colours.Text);
    painter.drawText(plot.adjusted(TitleInset, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, tr("ACWR"));
}

void TrainingLoadChart::DrawDayLabels(QPainter &painter, const QSizeF &size) const {
    if (Series.empty())
        return;
    const Colours colours = ChartColours();
    const QRectF plot = RatioPlot(size);
    const qreal slot = Slot(size);
    const QString widest = QStringLiteral("2000/00/00 ");
    const auto every = std::size_t(std::max(1.0, std::ceil(painter.fontMetrics().horizontalAdvance(widest) / slot)));
    painter.setPen(colours.Text);
    for (std::size_t i = 0; i + every <= Series.size(); i += every)
        painter.drawText(
            QRectF(plot.left() + slot * qreal(i), plot.bottom() + 2, slot * qreal(every), BottomMargin - 2),
            Qt::AlignLeft | Qt::AlignTop, DayText(Series[i].DayNumber));
}

void TrainingLoadChart::DrawLegend(QPainter &painter) const {
    const Colours colours = ChartColours();
    const QFontMetricsF metrics(painter.font());
    qreal x = LeftMargin;
    const qreal y = (TopMargin - LegendSwatch) / 2;
    const auto item = [&](const QString &text, const QColor &colour, Qt::PenStyle line) {
        if (line == Qt::NoPen) {
            painter.fillRect(QRectF(x, y, LegendSwatch, LegendSwatch), colour);
        } else {
            painter.setPen(QPen(colour, LineWidth, line));
            painter.drawLine(QPointF(x, y + LegendSwatch / 2), QPointF(x + LegendSwatch, y + LegendSwatch / 2));
        }
        x += LegendSwatch + LegendGap;
        painter.setPen(colours.Text);
        painter.drawText(QPointF(x, y + LegendSwatch), text);
        x += metrics.horizontalAdvance(text) + LegendSpacing;
    };
    item(tr("Daily load"), colours.Bar, Qt::NoPen);
    item(tr("Fitness"), colours.Line, Qt::SolidLine);
    item(tr("Fatigue"), colours.Line, Qt::DashLine);
    item(tr("Form"), WithAlpha(colours.Faint, FormAlpha), Qt::NoPen);
}

QString TrainingLoadChart::ToolTipAt(const QPointF &point) const {
    const QRectF plot = PlotRect(size());
    if (Series.empty() || point.x() < plot.left() || point.x() >= plot.right() || point.y() < plot.top() ||
        point.y() > plot.bottom())
        return {};
    const auto index = std::min(Series.size() - 1, std::size_t((point.x() - plot.left()) / Slot(size())));
    const pq::LoadDay &day = Series[index];
    QString text = tr("%1\nLoad: %2\nFitness: %3\nFatigue: %4\nForm: %5")
                       .arg(DayText(day.DayNumber), Text(pq::LoadText(day.Load)), Text(pq::LoadText(day.Fitness)),
                            Text(pq::LoadText(day.Fatigue)), Text(pq::LoadText(day.Form)));
    if (day.Ratio)
        text += tr("\nACWR: %1 (%2)")
                    .arg(Text(pq::RatioText(day.Ratio)), Text(std::string(pq::ZoneName(pq::ZoneOf(*day.Ratio)))));
    return text;
}

QString TrainingLoadChart::Summary() const {
    if (Series.empty())
        return tr("No runs with a time, so no training load.");
    const QString last = DayText(Series.back().DayNumber);
    return tr("Training load over %1 days from %2 to %3. On %3: %4.")
        .arg(Series.size())
        .arg(DayText(Series.front().DayNumber), last, Text(pq::LoadSummaryText(Series.back())));
}

QSize TrainingLoadChart::sizeHint() const {
    return {PreferredWidth, PreferredHeight};
}
