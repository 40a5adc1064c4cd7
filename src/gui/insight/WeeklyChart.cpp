#include "insight/WeeklyChart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "insight/ReportFormats.h"
#include "insight/TrainingLoad.h"
#include "stats/StatsCalendar.h"

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
// A date's label below its week: this far below the plot, with at least this much room to the next.
constexpr qreal DateLabelDrop = 2;
constexpr qreal DateLabelGap = 8;
// A date whose text is among the widest (digits differ in width in some fonts).
constexpr int LongestDateYear = 2008;
constexpr int LongestDateMonth = 8;

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

// The newest week's date is centred under its bar, so the plot leaves half a date's width on its right.
QRectF WeeklyChart::PlotArea(const QSizeF &size) const {
    QRectF plot = PlotRect(size);
    plot.setRight(plot.right() - std::max<qreal>(0, DateLabelWidth() / 2 - RightMargin));
    return plot;
}

qreal WeeklyChart::DateLabelWidth() const {
    return QFontMetricsF(font()).horizontalAdvance(DayText(pq::DayNumber(LongestDateYear, LongestDateMonth, 1)));
}

bool WeeklyChart::HasRuns() const {
    return std::any_of(Weeks.begin(), Weeks.end(), [](const pq::WeekBar &bar) { return bar.Totals.Runs > 0; });
}

void WeeklyChart::PinAxisAt(qreal left) {
    Pinned = left;
    update();
}

std::vector<std::pair<std::size_t, QRectF>> WeeklyChart::DateLabels(const QSizeF &size) const {
    std::vector<std::pair<std::size_t, QRectF>> labels;
    if (Weeks.empty())
        return labels;
    const QRectF plot = PlotArea(size);
    const qreal slot = plot.width() / qreal(Weeks.size());
    const qreal width = DateLabelWidth();
    const auto every = std::size_t(std::max(1.0, std::ceil((width + DateLabelGap) / slot)));
    for (std::size_t back = 0; back < Weeks.size(); back += every) {
        const std::size_t i = Weeks.size() - 1 - back;
        const qreal centre = plot.left() + slot * (qreal(i) + 0.5);
        const QRectF label(centre - width / 2, plot.bottom() + DateLabelDrop, width, BottomMargin - DateLabelDrop);
        if (label.left() < plot.left())
            break;
        labels.emplace_back(i, label);
    }
    return labels;
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

// Only the weeks in the drawn area, and a label's width either side of it, are drawn, so scrolling through years
// of weeks costs what one screen of bars costs.
void WeeklyChart::Draw(QPainter &painter, const QSizeF &size) const {
    const Colours colours = ChartColours();
    const QRectF plot = PlotArea(size);
    // On screen the axis and the legend stand at the left of the part shown; in a file, at the chart's left.
    const qreal pinned = OnScreen() ? Pinned : 0;
    DrawValueGrid(painter, plot, Top);
    const qreal slot = plot.width() / qreal(std::max<std::size_t>(1, Weeks.size()));
    const QRectF drawn = DrawnArea(painter, size);
    const qreal reach = DateLabelWidth();
    const auto slotAt = [&](qreal x) { return std::clamp<qreal>((x - plot.left()) / slot, 0, qreal(Weeks.size())); };
    // From a week before the area to a week after it, so that the average line runs on past its edges.
    const auto first = std::size_t(std::max<qreal>(0, std::floor(slotAt(drawn.left())) - 1));
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
    }
    painter.setPen(colours.Text);
    for (const auto &[week, label] : DateLabels(size)) {
        if (label.right() >= drawn.left() - reach && label.left() <= drawn.right() + reach)
            painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, DayText(Weeks[week].FirstDay));
    }
    painter.setPen(QPen(colours.Line, AverageLineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(average);
    // The axis and the legend over whatever scrolled under them.
    painter.fillRect(QRectF(pinned, 0, LeftMargin, size.height()), colours.Background);
    painter.fillRect(QRectF(pinned, 0, size.width() - pinned, TopMargin), colours.Background);
    DrawValueLabels(painter, plot, Top, UnitTitle(Unit), pinned);
    DrawLegend(painter, size, pinned + LeftMargin);
}

void WeeklyChart::DrawLegend(QPainter &painter, const QSizeF &, qreal left) const {
    const Colours colours = ChartColours();
    const QFontMetricsF metrics(painter.font());
    qreal x = left;
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
    const auto strong = count(pq::RampLevel::Strong);
    const auto ramps = count(pq::RampLevel::Warning) + strong;
    const QString weeks = Weeks.size() == 1 ? tr("1 week from %1.") : tr("%1 weeks from %2.").arg(Weeks.size());
    const QString over = ramps == 1 ? tr("1 week is") : tr("%1 weeks are").arg(ramps);
    return weeks.arg(DayText(Weeks.front().FirstDay)) +
           tr(" The latest week, from %1, has %2. %3 more than %4% above the average of the weeks before, %5 more "
              "than %6%.")
               .arg(DayText(last.FirstDay), DistanceText(Distance(last), Unit), over)
               .arg(pq::RampPercent)
               .arg(strong)
               .arg(pq::StrongRampPercent);
}

QSize WeeklyChart::sizeHint() const {
    const int weeks = int(std::max<std::size_t>(PreferredWeeks, Weeks.size()));
    return {int(LeftMargin + RightMargin + SlotWidth * weeks), PreferredHeight};
}

QSize WeeklyChart::minimumSizeHint() const {
    return {int(LeftMargin + RightMargin + SlotWidth * qreal(Weeks.size())), PreferredHeight / 2};
}
