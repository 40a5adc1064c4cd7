#include "insight/ConsistencyChart.h"

#include <QPainter>

#include <algorithm>

#include "insight/InsightTexts.h"
#include "stats/StatsCalendar.h"

namespace {

constexpr int DaysPerWeek = 7;
constexpr qreal CellGap = 2;
constexpr qreal LargestCell = 22;
constexpr qreal WeekdayLabelWidth = 36;
constexpr qreal StreakLines = 2;
constexpr qreal LineHeight = 20;
constexpr int PreferredCell = 14;
// The faintest shade a day with a run gets, so that a short run still shows.
constexpr qreal FaintestShare = 0.25;
constexpr std::array<const char *, DaysPerWeek> WeekdayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

QColor Blend(const QColor &from, const QColor &to, qreal share) {
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * share),
                            float(from.greenF() + (to.greenF() - from.greenF()) * share),
                            float(from.blueF() + (to.blueF() - from.blueF()) * share));
}

} // namespace

ConsistencyChart::ConsistencyChart(QWidget *parent) : ChartView(parent) {
    setAccessibleName(tr("Consistency"));
}

void ConsistencyChart::SetCalendar(pq::ConsistencyCalendar calendar, pq::DistanceUnit unit, int weekStart) {
    Days = std::move(calendar);
    Unit = unit;
    WeekStart = weekStart;
    DataChanged();
}

qreal ConsistencyChart::CellSize(const QSizeF &size) const {
    const qreal across = (size.width() - WeekdayLabelWidth - RightMargin) / pq::CalendarWeeks;
    const qreal down = (size.height() - TopMargin - StreakLines * LineHeight) / DaysPerWeek;
    return std::clamp<qreal>(std::min(across, down), 1, LargestCell);
}

QRectF ConsistencyChart::CellRect(std::size_t index, const QSizeF &size) const {
    const qreal cell = CellSize(size);
    const int offset = int(index);
    // NOLINTNEXTLINE(bugprone-integer-division): the whole weeks before the day give its column
    return QRectF(WeekdayLabelWidth + cell * (offset / DaysPerWeek), TopMargin + cell * (offset % DaysPerWeek),
                  cell - CellGap, cell - CellGap);
}

QString ConsistencyChart::StreaksText() const {
    const pq::Streaks &streaks = Days.DayAndWeekStreaks;
    return tr("Days in a row: %1 now, %2 at most\nWeeks in a row: %3 now, %4 at most")
        .arg(streaks.CurrentDays.Length)
        .arg(streaks.LongestDays.Length)
        .arg(streaks.CurrentWeeks.Length)
        .arg(streaks.LongestWeeks.Length);
}

void ConsistencyChart::Draw(QPainter &painter, const QSizeF &size) const {
    const Colours colours = ChartColours();
    painter.setPen(colours.Text);
    for (int row = 0; row < DaysPerWeek; ++row) {
        const QRectF first = CellRect(std::size_t(row), size);
        painter.drawText(QRectF(0, first.top(), WeekdayLabelWidth - CellGap, first.height()),
                         Qt::AlignVCenter | Qt::AlignLeft, tr(WeekdayNames[(row + WeekStart) % DaysPerWeek]));
    }
    for (std::size_t i = 0; i < Days.Days.size(); ++i) {
        if (Days.FirstDay + int(i) < 1)
            continue;
        const pq::RunTotals &day = Days.Days[i];
        QColor colour = colours.Grid;
        colour.setAlphaF(0.35f);
        if (day.Miles > 0 && Days.MostMiles > 0)
            colour = Blend(colours.Background, colours.Bar,
                           FaintestShare + (1 - FaintestShare) * day.Miles / Days.MostMiles);
        painter.fillRect(CellRect(i, size), colour);
    }
    const qreal bottom = CellRect(DaysPerWeek - 1, size).bottom() + CellGap;
    painter.setPen(colours.Text);
    painter.drawText(QRectF(WeekdayLabelWidth, bottom, size.width() - WeekdayLabelWidth, StreakLines * LineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, StreaksText());
    painter.drawText(QRectF(WeekdayLabelWidth, 0, size.width() - WeekdayLabelWidth, TopMargin),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     tr("%1 to %2").arg(DayText(std::max(1, Days.FirstDay)), DayText(Days.LastDay)));
}

QString ConsistencyChart::ToolTipAt(const QPointF &point) const {
    for (std::size_t i = 0; i < Days.Days.size(); ++i) {
        if (Days.FirstDay + int(i) >= 1 && CellRect(i, size()).contains(point))
            return DayText(Days.FirstDay + int(i)) + '\n' + TotalsText(Days.Days[i], Unit);
    }
    return {};
}

QString ConsistencyChart::Summary() const {
    const auto days =
        std::count_if(Days.Days.begin(), Days.Days.end(), [](const pq::RunTotals &day) { return day.Miles > 0; });
    return tr("%1 days with a run in the last %2 weeks. ").arg(days).arg(pq::CalendarWeeks) +
           QString(StreaksText()).replace('\n', QStringLiteral(". ")) + '.';
}

QSize ConsistencyChart::sizeHint() const {
    return {int(WeekdayLabelWidth + RightMargin + PreferredCell * pq::CalendarWeeks),
            int(TopMargin + PreferredCell * DaysPerWeek + StreakLines * LineHeight)};
}
