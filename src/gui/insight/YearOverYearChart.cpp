#include "insight/YearOverYearChart.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "insight/ReportFormats.h"
#include "stats/StatsCalendar.h"

namespace {

constexpr int DaysInLongestYear = 366;
constexpr qreal CurrentLineWidth = 3;
constexpr qreal OtherLineWidth = 1.2;
// The widest year a label shows.
const QString WidestYear = QStringLiteral("0000");
constexpr int PreferredWidth = 640;
constexpr int PreferredHeight = 320;
constexpr double Headroom = 1.05;
// How near the pointer must be to a line, in pixels, for its tooltip.
constexpr qreal PointerReach = 24;
constexpr int MonthsPerYear = 12;
// A year of 365 days, where the months begin for the month labels.
constexpr int CommonYear = 2001;
constexpr qreal LabelOffset = 4;
constexpr qreal MonthLabelRaise = 6;
constexpr int MonthAbbreviation = 3;

} // namespace

YearOverYearChart::YearOverYearChart(QWidget *parent) : ChartView(parent) {
    setAccessibleName(tr("Year over year"));
}

void YearOverYearChart::SetSeries(pq::YearOverYear series, pq::DistanceUnit unit) {
    Years = std::move(series);
    Unit = unit;
    UpdateTop();
}

void YearOverYearChart::SetYearGoal(std::optional<double> target) {
    Goal = target;
    UpdateTop();
}

// The axis holds every year's line and the goal's target.
void YearOverYearChart::UpdateTop() {
    double most = Goal.value_or(0);
    for (const pq::YearLine &line : Years.Years) {
        if (!line.Cumulative.empty())
            most = std::max(most, pq::DistanceIn(line.Cumulative.back(), Unit));
    }
    Top = AxisTopFor(most * Headroom);
    DataChanged();
}

QLineF YearOverYearChart::GoalLine(const QSizeF &size) const {
    const QRectF plot = PlotArea(size);
    const int days = pq::DayNumber(Years.CurrentYear + 1, 1, 1) - pq::DayNumber(Years.CurrentYear, 1, 1);
    return {plot.bottomLeft(), QPointF(plot.left() + plot.width() * days / DaysInLongestYear,
                                       plot.bottom() - plot.height() * Goal.value_or(0) / Top)};
}

QString YearOverYearChart::OnPaceText() const {
    const double pace = Unit == pq::DistanceUnit::Miles ? Years.OnPaceMiles : Years.OnPaceKilometers;
    return tr("On pace for %1 %2 this year").arg(std::lround(pace)).arg(UnitTitle(Unit));
}

bool YearOverYearChart::HasRuns() const {
    return std::any_of(Years.Years.begin(), Years.Years.end(), [](const pq::YearLine &line) {
        return !line.Cumulative.empty() && line.Cumulative.back().Runs > 0;
    });
}

// Room right of the plot for the year labels; the right margin is part of it.
qreal YearOverYearChart::YearLabelWidth() const {
    return std::max<qreal>(0, QFontMetricsF(font()).horizontalAdvance(WidestYear) + 2 * LabelOffset - RightMargin);
}

QRectF YearOverYearChart::PlotArea(const QSizeF &size) const {
    QRectF plot = PlotRect(size);
    plot.setRight(plot.right() - YearLabelWidth());
    return plot;
}

std::vector<std::pair<int, QRectF>> YearOverYearChart::YearLabels(const QSizeF &size) const {
    const QRectF plot = PlotArea(size);
    const qreal height = QFontMetricsF(font()).height();
    const qreal width = QFontMetricsF(font()).horizontalAdvance(WidestYear) + LabelOffset;
    std::vector<int> years;
    std::vector<qreal> ends;
    for (const pq::YearLine &line : Years.Years) {
        if (line.Cumulative.empty())
            continue;
        years.push_back(line.Year);
        ends.push_back(PointIn(plot, line, line.Cumulative.size() - 1).y());
    }
    const std::vector<qreal> placed = SpreadLabels(ends, height, plot.top(), plot.bottom());
    std::vector<std::pair<int, QRectF>> labels;
    for (std::size_t i = 0; i < years.size(); ++i)
        labels.emplace_back(years[i], QRectF(plot.right() + LabelOffset, placed[i] - height / 2, width, height));
    return labels;
}

QPointF YearOverYearChart::PointAt(const pq::YearLine &line, std::size_t day, const QSizeF &size) const {
    return PointIn(PlotArea(size), line, day);
}

QPointF YearOverYearChart::PointIn(const QRectF &plot, const pq::YearLine &line, std::size_t day) const {
    const double distance = pq::DistanceIn(line.Cumulative[day], Unit);
    return {plot.left() + plot.width() * (qreal(day) + 0.5) / DaysInLongestYear,
            plot.bottom() - plot.height() * distance / Top};
}

void YearOverYearChart::Draw(QPainter &painter, const QSizeF &size) const {
    const Colours colours = ChartColours();
    const QRectF plot = PlotArea(size);
    DrawValueAxis(painter, plot, Top, UnitTitle(Unit));
    painter.setPen(colours.Text);
    for (int month = 1; month <= MonthsPerYear; ++month) {
        const int day = pq::DayNumber(CommonYear, month, 1) - pq::DayNumber(CommonYear, 1, 1);
        const qreal x = plot.left() + plot.width() * day / DaysInLongestYear;
        painter.drawText(
            QPointF(x, plot.bottom() + BottomMargin - MonthLabelRaise),
            QString::fromLatin1(pq::MonthName(month).substr(0, MonthAbbreviation).data(), MonthAbbreviation));
    }
    // The years are stroked together, each over the ones before, strip by strip.
    std::vector<Stroke> years;
    for (const pq::YearLine &line : Years.Years) {
        if (line.Cumulative.empty())
            continue;
        const bool current = line.Year == Years.CurrentYear;
        QPolygonF points;
        points.reserve(qsizetype(line.Cumulative.size()));
        for (std::size_t day = 0; day < line.Cumulative.size(); ++day)
            points << PointIn(plot, line, day);
        years.push_back(
            {{points}, QPen(current ? colours.Bar : colours.Faint, current ? CurrentLineWidth : OtherLineWidth)});
    }
    StrokeLines(painter, years, size);
    if (Goal) {
        const QLineF goal = GoalLine(size);
        painter.setPen(QPen(colours.Line, OtherLineWidth, Qt::DashLine));
        painter.drawLine(goal);
        painter.drawText(QRectF(goal.p2().x() - plot.width(), goal.p2().y() - QFontMetricsF(font()).height(),
                                plot.width() - LabelOffset, QFontMetricsF(font()).height()),
                         Qt::AlignRight | Qt::AlignBottom, GoalText());
    }
    for (const auto &[year, label] : YearLabels(size)) {
        painter.setPen(year == Years.CurrentYear ? colours.Text : colours.Faint);
        painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, QString::number(year));
    }
    painter.setPen(colours.Text);
    painter.drawText(QRectF(LeftMargin, 0, size.width() - LeftMargin, TopMargin), Qt::AlignVCenter | Qt::AlignLeft,
                     OnPaceText());
}

QString YearOverYearChart::ToolTipAt(const QPointF &point) const {
    const pq::YearLine *nearest = nullptr;
    std::size_t nearestDay = 0;
    qreal nearestDistance = PointerReach;
    const QRectF plot = PlotArea(size());
    for (const pq::YearLine &line : Years.Years) {
        if (line.Cumulative.empty())
            continue;
        const QPointF first = PointIn(plot, line, 0);
        const qreal dayWidth = PointIn(plot, line, line.Cumulative.size() - 1).x() - first.x();
        const qreal perDay = line.Cumulative.size() > 1 ? dayWidth / qreal(line.Cumulative.size() - 1) : 1;
        const auto day = std::size_t(
            std::clamp<qreal>(std::round((point.x() - first.x()) / perDay), 0, qreal(line.Cumulative.size() - 1)));
        const QPointF at = PointIn(plot, line, day);
        const qreal away = std::abs(at.y() - point.y());
        if (std::abs(at.x() - point.x()) < PointerReach && away < nearestDistance) {
            nearest = &line;
            nearestDay = day;
            nearestDistance = away;
        }
    }
    if (nearest == nullptr)
        return {};
    const int dayNumber = pq::DayNumber(nearest->Year, 1, 1) + int(nearestDay);
    return tr("1 January to %1\n").arg(DayText(dayNumber)) + TotalsText(nearest->Cumulative[nearestDay], Unit);
}

QString YearOverYearChart::Summary() const {
    QStringList years;
    for (const pq::YearLine &line : Years.Years) {
        if (!line.Cumulative.empty())
            years << tr("%1: %2").arg(line.Year).arg(DistanceText(pq::DistanceIn(line.Cumulative.back(), Unit), Unit));
    }
    const QString summary = tr("Distance by year. %1. %2.").arg(years.join(QStringLiteral(", ")), OnPaceText());
    return Goal ? summary + QLatin1Char(' ') + GoalText() + QLatin1Char('.') : summary;
}

QString YearOverYearChart::GoalText() const {
    return tr("Goal: %1").arg(DistanceText(Goal.value_or(0), Unit));
}

QSize YearOverYearChart::sizeHint() const {
    return {PreferredWidth, PreferredHeight};
}
