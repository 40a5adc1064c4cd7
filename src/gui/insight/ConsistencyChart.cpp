#include "insight/ConsistencyChart.h"

#include <QPainter>

#include <algorithm>
#include <array>

#include "insight/ReportFormats.h"
#include "stats/StatsCalendar.h"

namespace {

constexpr int DaysPerWeek = 7;
constexpr qreal CellGap = 2;
constexpr qreal LargestCell = 22;
constexpr qreal LineHeight = 20;
// Rows of text: the headline and the month names above the cells, the key and two lines of streaks below.
constexpr qreal HeadlineLines = 1;
constexpr qreal MonthLines = 1;
constexpr qreal KeyLines = 1;
constexpr qreal StreakLines = 2;
constexpr qreal WeekdayGap = 6;
constexpr qreal MonthGap = 4;
constexpr int PreferredCell = 14;
// The faintest shade a day with a run gets, so that a short run still shows; the key shows this many shades.
constexpr qreal FaintestShare = 0.25;
constexpr int KeyShades = 4;
constexpr qreal KeyGap = 6;
// A day without a run is the text's colour over the background at this share: a cell in any theme.
constexpr qreal EmptyDayShare = 0.15;
constexpr std::array<const char *, DaysPerWeek> WeekdayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
// Of the weekdays, Monday, Wednesday and Friday are named.
constexpr int NamedWeekdayStep = 2;
constexpr int NamedWeekdays = 5;
constexpr int MonthAbbreviation = 3;

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

qreal ConsistencyChart::GridLeft() const {
    const QFontMetricsF metrics(font());
    qreal widest = 0;
    for (const char *name : WeekdayNames)
        widest = std::max(widest, metrics.horizontalAdvance(tr(name)));
    return widest + WeekdayGap;
}

qreal ConsistencyChart::CellSize(const QSizeF &size) const {
    const qreal across = (size.width() - GridLeft() - RightMargin) / pq::CalendarWeeks;
    const qreal down =
        (size.height() - (HeadlineLines + MonthLines + KeyLines + StreakLines) * LineHeight) / DaysPerWeek;
    return std::clamp<qreal>(std::min(across, down), 1, LargestCell);
}

// The calendar stands in the middle of the height it is given when its cells are as wide as they may be.
qreal ConsistencyChart::Top(const QSizeF &size) const {
    const qreal used =
        (HeadlineLines + MonthLines + KeyLines + StreakLines) * LineHeight + CellSize(size) * DaysPerWeek;
    return std::max<qreal>(0, (size.height() - used) / 2);
}

QRectF ConsistencyChart::CellRect(std::size_t index, const QSizeF &size) const {
    const qreal cell = CellSize(size);
    const int offset = int(index);
    // NOLINTNEXTLINE(bugprone-integer-division): the whole weeks before the day give its column
    return QRectF(GridLeft() + cell * (offset / DaysPerWeek),
                  Top(size) + (HeadlineLines + MonthLines) * LineHeight + cell * (offset % DaysPerWeek), cell - CellGap,
                  cell - CellGap);
}

int ConsistencyChart::DaysWithARun() const {
    return int(
        std::count_if(Days.Days.begin(), Days.Days.end(), [](const pq::RunTotals &day) { return day.Miles > 0; }));
}

bool ConsistencyChart::HasRuns() const {
    return DaysWithARun() > 0;
}

QString ConsistencyChart::Headline() const {
    const int days = DaysWithARun();
    return (days == 1 ? tr("1 day with a run") : tr("%1 days with a run").arg(days)) +
           tr(" in the last %1 weeks").arg(pq::CalendarWeeks);
}

QString ConsistencyChart::StreaksText() const {
    const pq::Streaks &streaks = Days.DayAndWeekStreaks;
    return tr("Days in a row: %1 now, %2 at most\nWeeks in a row: %3 now, %4 at most")
        .arg(streaks.CurrentDays.Length)
        .arg(streaks.LongestDays.Length)
        .arg(streaks.CurrentWeeks.Length)
        .arg(streaks.LongestWeeks.Length);
}

QColor ConsistencyChart::DayColour(const pq::RunTotals &day) const {
    return day.Miles > 0 && Days.MostMiles > 0 ? Shade(day.Miles / Days.MostMiles) : EmptyDayColour();
}

QColor ConsistencyChart::Shade(qreal share) const {
    const Colours colours = ChartColours();
    return Blend(colours.Background, colours.Bar, FaintestShare + (1 - FaintestShare) * share);
}

QColor ConsistencyChart::EmptyDayColour() const {
    const Colours colours = ChartColours();
    return Blend(colours.Background, colours.Text, EmptyDayShare);
}

std::vector<std::pair<QString, QRectF>> ConsistencyChart::MonthLabels(const QSizeF &size) const {
    std::vector<std::pair<QString, QRectF>> labels;
    const QFontMetricsF metrics(font());
    qreal free = 0; // where the next label may start
    for (std::size_t i = 0; i < Days.Days.size(); ++i) {
        const int dayNumber = Days.FirstDay + int(i);
        if (dayNumber < 1 || pq::DateOfDayNumber(dayNumber).Day != 1)
            continue;
        const std::string_view month = pq::MonthName(pq::DateOfDayNumber(dayNumber).Month).substr(0, MonthAbbreviation);
        const QString name = QString::fromLatin1(month.data(), qsizetype(month.size()));
        const QRectF week = CellRect(i - i % DaysPerWeek, size);
        const QRectF label(week.left(), Top(size) + HeadlineLines * LineHeight, metrics.horizontalAdvance(name),
                           LineHeight);
        if (label.left() < free || label.right() > size.width())
            continue;
        labels.emplace_back(name, label);
        free = label.right() + MonthGap;
    }
    return labels;
}

std::vector<std::pair<QString, QRectF>> ConsistencyChart::WeekdayLabels(const QSizeF &size) const {
    std::vector<std::pair<QString, QRectF>> labels;
    for (int row = 0; row < DaysPerWeek; ++row) {
        const int weekday = (row + WeekStart) % DaysPerWeek;
        if (weekday % NamedWeekdayStep != 0 || weekday >= NamedWeekdays)
            continue;
        const QRectF cell = CellRect(std::size_t(row), size);
        const qreal height = std::max(cell.height(), QFontMetricsF(font()).height());
        labels.emplace_back(tr(WeekdayNames[weekday]),
                            QRectF(0, cell.center().y() - height / 2, GridLeft() - WeekdayGap, height));
    }
    return labels;
}

void ConsistencyChart::Draw(QPainter &painter, const QSizeF &size) const {
    const Colours colours = ChartColours();
    painter.setPen(colours.Text);
    painter.drawText(QRectF(GridLeft(), Top(size), size.width() - GridLeft(), LineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     Headline() + tr(", %1 to %2").arg(DayText(std::max(1, Days.FirstDay)), DayText(Days.LastDay)));
    for (const auto &[name, label] : MonthLabels(size))
        painter.drawText(label, Qt::AlignLeft | Qt::AlignBottom, name);
    for (const auto &[name, label] : WeekdayLabels(size))
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, name);
    for (std::size_t i = 0; i < Days.Days.size(); ++i) {
        if (Days.FirstDay + int(i) >= 1)
            painter.fillRect(CellRect(i, size), DayColour(Days.Days[i]));
    }
    const qreal bottom = CellRect(DaysPerWeek - 1, size).bottom() + CellGap;
    const qreal right = CellRect(Days.Days.empty() ? 0 : Days.Days.size() - 1, size).right();
    DrawKey(painter, QRectF(GridLeft(), bottom, right - GridLeft(), KeyLines * LineHeight));
    painter.setPen(colours.Text);
    painter.drawText(
        QRectF(GridLeft(), bottom + KeyLines * LineHeight, size.width() - GridLeft(), StreakLines * LineHeight),
        Qt::AlignLeft | Qt::AlignVCenter, StreaksText());
}

// "Less", the empty day's colour and the shades up to the farthest day's, "More", at the right of the area.
void ConsistencyChart::DrawKey(QPainter &painter, const QRectF &area) const {
    const QFontMetricsF metrics(painter.font());
    const qreal swatch = std::min<qreal>(area.height() - CellGap, LargestCell / 2);
    const QString less = tr("Less");
    const QString more = tr("More");
    qreal x = area.right() - metrics.horizontalAdvance(more);
    painter.setPen(ChartColours().Text);
    painter.drawText(QRectF(x, area.top(), metrics.horizontalAdvance(more), area.height()), Qt::AlignVCenter, more);
    x -= KeyGap;
    for (int shade = KeyShades; shade >= 0; --shade) {
        x -= swatch + CellGap;
        const QColor colour = shade == 0 ? EmptyDayColour() : Shade(qreal(shade - 1) / (KeyShades - 1));
        painter.fillRect(QRectF(x, area.center().y() - swatch / 2, swatch, swatch), colour);
    }
    x -= KeyGap + metrics.horizontalAdvance(less);
    painter.drawText(QRectF(x, area.top(), metrics.horizontalAdvance(less), area.height()), Qt::AlignVCenter, less);
}

QString ConsistencyChart::ToolTipAt(const QPointF &point) const {
    for (std::size_t i = 0; i < Days.Days.size(); ++i) {
        if (Days.FirstDay + int(i) >= 1 && CellRect(i, size()).contains(point))
            return DayText(Days.FirstDay + int(i)) + '\n' + TotalsText(Days.Days[i], Unit);
    }
    return {};
}

QString ConsistencyChart::Summary() const {
    return Headline() + QStringLiteral(". ") + QString(StreaksText()).replace('\n', QStringLiteral(". ")) + '.';
}

QSize ConsistencyChart::sizeHint() const {
    return {int(GridLeft() + RightMargin + PreferredCell * pq::CalendarWeeks),
            int((HeadlineLines + MonthLines + KeyLines + StreakLines) * LineHeight + PreferredCell * DaysPerWeek)};
}
