#include "insight/WeeklyChart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "insight/ReportFormats.h"
#include "insight/TrainingLoad.h"

namespace {

// Each week takes a slot of at least this many pixels; the bar fills this share of its slot.
constexpr qreal SlotWidth = 14;
constexpr qreal BarShare = 0.7;
constexpr int PreferredHeight = 280;
constexpr int PreferredWeeks = 26;
constexpr qreal LegendSwatch = 10;
constexpr qreal LegendGap = 6;
constexpr qreal LegendSpacing = 18;
constexpr qreal AverageLineWidth = 2;
// Room above the tallest bar or average.
constexpr double Headroom = 1.05;
constexpr int DaysPerWeek = 7;
// The training load's mark: a dot this wide, this far above its bar.
constexpr qreal LoadMarkSize = 6;
constexpr qreal LoadMarkGap = 3;

QColor BarColour(pq::RampLevel ramp, const ChartView::Colours &colours) {
    switch (ramp) {
    case pq::RampLevel::None:
        break;
    case pq::RampLevel::Warning:
        return colours.Warning;
    case pq::RampLevel::Strong:
        return colours.StrongWarning;
    }
    return colours.Bar;
}

} // namespace

WeeklyChart::WeeklyChart(QWidget *parent) : ChartView(parent) {
    setAccessibleName(tr("Weekly distance"));
}

void WeeklyChart::SetBars(std::vector<pq::WeekBar> bars, pq::DistanceUnit unit, std::vector<bool> loadWarnings) {
    Weeks = std::move(bars);
    LoadWarnings = std::move(loadWarnings);
    Unit = unit;
    double most = 0;
    for (const pq::WeekBar &bar : Weeks)
        most = std::max({most, Distance(bar), Average(bar)});
    Top = AxisTopFor(most * Headroom);
    updateGeometry();
    DataChanged();
}

double WeeklyChart::Distance(const pq::WeekBar &bar) const {
    return pq::DistanceIn(bar.Totals, Unit);
}

double WeeklyChart::Average(const pq::WeekBar &bar) const {
    return Unit == pq::DistanceUnit::Miles ? bar.AverageMiles : bar.AverageKilometers;
}

QRectF WeeklyChart::PlotArea(const QSizeF &size) const {
    return PlotRect(size);
}

double WeeklyChart::AxisTop() const {
    return Top;
}

QRectF WeeklyChart::BarRect(std::size_t index, const QSizeF &size) const {
    const QRectF plot = PlotArea(size);
    const qreal slot = plot.width() / qreal(std::max<std::size_t>(1, Weeks.size()));
    const double distance = std::max(0.0, Distance(Weeks[index]));
    const qreal height = plot.height() * distance / Top;
    return QRectF(plot.left() + slot * qreal(index) + slot * (1 - BarShare) / 2, plot.bottom() - height,
                  slot * BarShare, height);
}

QRectF WeeklyChart::LoadMarkRect(std::size_t index, const QSizeF &size) const {
    const QRectF bar = BarRect(index, size);
    return QRectF(bar.center().x() - LoadMarkSize / 2, bar.top() - LoadMarkGap - LoadMarkSize, LoadMarkSize,
                  LoadMarkSize);
}

// Only the weeks in the drawn area, and a label's width to the left of it, are drawn, so scrolling through years
// of weeks costs what one screen of bars costs.
void WeeklyChart::Draw(QPainter &painter, const QSizeF &size) const {
    const Colours colours = ChartColours();
    const QRectF plot = PlotArea(size);
    DrawValueAxis(painter, plot, Top);
    const qreal slot = plot.width() / qreal(std::max<std::size_t>(1, Weeks.size()));
    // Date labels where there is room: every so many weeks.
    const int labelEvery = std::max(1, int(std::ceil(painter.fontMetrics().horizontalAdvance("2000/00/00 ") / slot)));
    const QRectF drawn = DrawnArea(painter, size);
    const auto slotAt = [&](qreal x) { return std::clamp<qreal>((x - plot.left()) / slot, 0, qreal(Weeks.size())); };
    // From a label's width of weeks before the area (a label reaches that far right) to a week after it, so that
    // labels and the average line run on past its edges.
    const auto first = std::size_t(std::max<qreal>(0, std::floor(slotAt(drawn.left())) - labelEvery));
    const auto last = std::min(Weeks.size(), std::size_t(std::ceil(slotAt(drawn.right()))) + 1);
    QPainterPath average;
    bool averageStarted = false;
    for (std::size_t i = first; i < last; ++i) {
        const pq::WeekBar &bar = Weeks[i];
        painter.fillRect(BarRect(i, size), BarColour(bar.Ramp, colours));
        if (LoadWarning(i)) {
            painter.setPen(QPen(colours.Text, 1));
            painter.setBrush(colours.Warning);
            painter.drawEllipse(LoadMarkRect(i, size));
        }
        const qreal centre = plot.left() + slot * (qreal(i) + 0.5);
        if (bar.AverageWeeks > 0) {
            const QPointF point(centre, plot.bottom() - plot.height() * Average(bar) / Top);
            if (averageStarted)
                average.lineTo(point);
            else
                average.moveTo(point);
            averageStarted = true;
        }
        if (int(i) % labelEvery == 0) {
            painter.setPen(colours.Text);
            painter.drawText(QRectF(centre - slot / 2, plot.bottom() + 2, slot * labelEvery, BottomMargin - 2),
                             Qt::AlignLeft | Qt::AlignTop, DayText(bar.FirstDay));
        }
    }
    painter.setPen(QPen(colours.Line, AverageLineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(average);
    DrawLegend(painter, size);
}

void WeeklyChart::DrawLegend(QPainter &painter, const QSizeF &) const {
    const Colours colours = ChartColours();
    const QFontMetricsF metrics(painter.font());
    qreal x = LeftMargin;
    const qreal y = (TopMargin - LegendSwatch) / 2;
    enum class Swatch { Box, Line, Dot };
    const auto item = [&](const QString &text, const QColor &colour, Swatch swatch) {
        if (swatch == Swatch::Line) {
            painter.setPen(QPen(colour, AverageLineWidth));
            painter.drawLine(QPointF(x, y + LegendSwatch / 2), QPointF(x + LegendSwatch, y + LegendSwatch / 2));
        } else if (swatch == Swatch::Dot) {
            painter.setPen(QPen(colours.Text, 1));
            painter.setBrush(colour);
            painter.drawEllipse(QRectF(x + (LegendSwatch - LoadMarkSize) / 2, y + (LegendSwatch - LoadMarkSize) / 2,
                                       LoadMarkSize, LoadMarkSize));
        } else {
            painter.fillRect(QRectF(x, y, LegendSwatch, LegendSwatch), colour);
        }
        x += LegendSwatch + LegendGap;
        painter.setPen(colours.Text);
        painter.drawText(QPointF(x, y + LegendSwatch), text);
        x += metrics.horizontalAdvance(text) + LegendSpacing;
    };
    item(tr("%1 per week").arg(QString::fromLatin1(pq::UnitWord(Unit).data())), colours.Bar, Swatch::Box);
    item(tr("more than %1% above the %2-week average").arg(pq::RampPercent).arg(pq::TrailingWeeks), colours.Warning,
         Swatch::Box);
    item(tr("more than %1%").arg(pq::StrongRampPercent), colours.StrongWarning, Swatch::Box);
    item(tr("%1-week average").arg(pq::TrailingWeeks), colours.Line, Swatch::Line);
    item(tr("ACWR above %1").arg(pq::SteadyRatio), colours.Warning, Swatch::Dot);
}

QString WeeklyChart::ToolTipAt(const QPointF &point) const {
    const QRectF plot = PlotArea(size());
    if (Weeks.empty() || point.x() < plot.left() || point.x() >= plot.right())
        return {};
    const qreal slot = plot.width() / qreal(Weeks.size());
    const auto index = std::min(Weeks.size() - 1, std::size_t((point.x() - plot.left()) / slot));
    const pq::WeekBar &bar = Weeks[index];
    QString text = tr("Week of %1 to %2\n").arg(DayText(bar.FirstDay), DayText(bar.FirstDay + DaysPerWeek - 1)) +
                   TotalsText(bar.Totals, Unit);
    if (bar.AverageWeeks > 0)
        text += tr("\n%1-week average: %2").arg(bar.AverageWeeks).arg(DistanceText(Average(bar), Unit));
    if (bar.Ramp != pq::RampLevel::None)
        text += tr("\nMore than %1% above the average")
                    .arg(bar.Ramp == pq::RampLevel::Strong ? pq::StrongRampPercent : pq::RampPercent);
    if (LoadWarning(index))
        text += tr("\nTraining load: ACWR above %1").arg(pq::SteadyRatio);
    return text;
}

QString WeeklyChart::Summary() const {
    if (Weeks.empty())
        return tr("No weeks with running.");
    const pq::WeekBar &last = Weeks.back();
    const auto count = [this](pq::RampLevel level) {
        return std::count_if(Weeks.begin(), Weeks.end(), [level](const pq::WeekBar &bar) { return bar.Ramp == level; });
    };
    return tr("%1 weeks from %2. The latest week, from %3, has %4. %5 weeks are more than %6% above the average of "
              "the weeks before, %7 more than %8%.")
        .arg(Weeks.size())
        .arg(DayText(Weeks.front().FirstDay), DayText(last.FirstDay), DistanceText(Distance(last), Unit))
        .arg(count(pq::RampLevel::Warning) + count(pq::RampLevel::Strong))
        .arg(pq::RampPercent)
        .arg(count(pq::RampLevel::Strong))
        .arg(pq::StrongRampPercent);
}

QSize WeeklyChart::sizeHint() const {
    const int weeks = int(std::max<std::size_t>(PreferredWeeks, Weeks.size()));
    return {int(LeftMargin + RightMargin + SlotWidth * weeks), PreferredHeight};
}

QSize WeeklyChart::minimumSizeHint() const {
    return {int(LeftMargin + RightMargin + SlotWidth * qreal(Weeks.size())), PreferredHeight / 2};
}
