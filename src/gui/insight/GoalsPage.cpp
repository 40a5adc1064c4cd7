#include "insight/GoalsPage.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "calc/RunArithmetic.h"
#include "log/CodePage1252.h"
#include "log/NoteMarks.h"

namespace {

const QString NoGoalsText = QStringLiteral(
    "No goals. A line such as \"goal year 2000 km\" or \"goal week 40 mi tag trail\" in the profile beside the log "
    "(its name with .profile added) sets one; see Help.");
const QString GoalsText = QStringLiteral("Goals of the profile, as of today:");
constexpr int FullBar = 100;
// The progress bars' width, in average characters.
constexpr int BarCharacters = 24;

QString Latin(const std::string &text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString Distance(double value, pq::DistanceUnit unit) {
    return Latin(pq::FormatHundredths(value)) + QLatin1Char(' ') + Latin(std::string(pq::UnitWord(unit)));
}

QTableWidgetItem *Cell(const QString &text, const QString &tip, bool right = true) {
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setToolTip(tip);
    return item;
}

// The projection in words: where the rate so far ends, and what the rest needs.
QString Projection(const pq::GoalProgress &goal) {
    if (!goal.Projected)
        return QStringLiteral("Not begun: %1 a week reaches the target.")
            .arg(Distance(goal.NeededPerWeek.value_or(0), goal.Unit));
    if (!goal.NeededPerWeek)
        return QStringLiteral("Ended with %1 of %2.")
            .arg(Distance(goal.Done, goal.Unit), Distance(goal.Target, goal.Unit));
    if (*goal.NeededPerWeek == 0)
        return QStringLiteral("Reached; at this rate the period ends with %1.")
            .arg(Distance(*goal.Projected, goal.Unit));
    return QStringLiteral("At this rate the period ends with %1; %2 a week from today reaches the target.")
        .arg(Distance(*goal.Projected, goal.Unit), Distance(*goal.NeededPerWeek, goal.Unit));
}

} // namespace

GoalsPage::GoalsPage(QWidget *parent) : QWidget(parent), Note(new QLabel), Table(new QTableWidget(0, ColumnCount)) {
    Note->setWordWrap(true);
    Note->setBuddy(Table);
    Table->setObjectName(QStringLiteral("Goals"));
    Table->setAccessibleName(QStringLiteral("Goals"));
    Table->setHorizontalHeaderLabels({QStringLiteral("Period"), QStringLiteral("Progress"), QStringLiteral("Target"),
                                      QStringLiteral("Done"), QStringLiteral("Percent"), QStringLiteral("Projected"),
                                      QStringLiteral("Needed per week")});
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Note);
    layout->addWidget(Table, 1);
}

void GoalsPage::Show(const std::vector<pq::Goal> &goals, const std::vector<pq::GoalProgress> &progress) {
    Note->setText(progress.empty() ? NoGoalsText : GoalsText);
    Table->setRowCount(static_cast<int>(progress.size()));
    for (std::size_t i = 0; i < progress.size(); ++i) {
        const pq::GoalProgress &goal = progress[i];
        const int row = static_cast<int>(i);
        const QString tip = Projection(goal);
        QString period = Latin(goal.Label);
        if (i < goals.size() && !goals[i].Tag.empty())
            period += QStringLiteral(" (%1%2)")
                          .arg(QLatin1Char(pq::TagSign))
                          .arg(QString::fromStdU16String(pq::Decode1252(goals[i].Tag)));
        Table->setItem(row, PeriodColumn, Cell(period, tip, false));
        auto *bar = new QProgressBar;
        bar->setRange(0, FullBar);
        bar->setValue(std::clamp(goal.Percent, 0, FullBar));
        // The bar stops at full; its text says how far past the target the runs went.
        bar->setFormat(QStringLiteral("%1%").arg(goal.Percent));
        bar->setAccessibleName(period);
        bar->setAccessibleDescription(tip);
        bar->setToolTip(tip);
        Table->setItem(row, ProgressColumn, Cell(QString(), tip));
        Table->setCellWidget(row, ProgressColumn, bar);
        Table->setItem(row, TargetColumn, Cell(Distance(goal.Target, goal.Unit), tip));
        Table->setItem(row, DoneColumn, Cell(Distance(goal.Done, goal.Unit), tip));
        Table->setItem(row, PercentColumn, Cell(QStringLiteral("%1%").arg(goal.Percent), tip));
        Table->setItem(row, ProjectedColumn,
                       Cell(goal.Projected ? Distance(*goal.Projected, goal.Unit) : QString(), tip));
        Table->setItem(row, NeededColumn,
                       Cell(goal.NeededPerWeek ? Distance(*goal.NeededPerWeek, goal.Unit) : QString(), tip));
    }
    Table->resizeColumnsToContents();
    Table->setColumnWidth(ProgressColumn, Table->fontMetrics().averageCharWidth() * BarCharacters);
}
