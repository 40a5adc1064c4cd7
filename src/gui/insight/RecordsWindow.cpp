#include "insight/RecordsWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "insight/GoalProgress.h"
#include "insight/GoalsPage.h"
#include "insight/InsightSource.h"
#include "insight/MarkTotals.h"
#include "insight/PersonalRecords.h"
#include "insight/ReportFormats.h"
#include "insight/ShoeSettingsDialog.h"
#include "insight/ShoesPage.h"
#include "insight/TagFilterBox.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/LogProfileWatch.h"
#include "log/NoteMarks.h"

namespace {

constexpr int DefaultWidth = 720;
constexpr int DefaultHeight = 480;
constexpr int RowRole = Qt::UserRole;
// Room above and below a row's text, in pixels.
constexpr int RowPadding = 6;

QString Text(const std::string &latin) {
    return QString::fromLatin1(latin.data(), qsizetype(latin.size()));
}

QString RowText(const pq::LogList &list, int row, int column) {
    return QString::fromStdU16String(pq::Decode1252(list.Text(row, column)));
}

QTableWidget *MakeTable(QWidget *owner, const QString &name, const QStringList &headers) {
    auto *table = new QTableWidget(0, int(headers.size()), owner);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setStretchLastSection(true);
    // Rows as high as a line of text (the style's default row is much higher), and a size hint that holds every
    // column, from which the window takes its first size.
    const int rowHeight = table->fontMetrics().height() + RowPadding;
    table->verticalHeader()->setMinimumSectionSize(rowHeight);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    return table;
}

void AddRow(QTableWidget *table, const QStringList &cells, int logRow) {
    const int row = table->rowCount();
    table->insertRow(row);
    for (int column = 0; column < cells.size(); ++column) {
        auto *item = new QTableWidgetItem(cells[column]);
        item->setData(RowRole, logRow);
        table->setItem(row, column, item);
    }
}

} // namespace

RecordsWindow::RecordsWindow(InsightSource &source, RowSelector selectRow, QWidget *parent)
    : QWidget(parent, Qt::Window), Source(source), SelectRow(std::move(selectRow)) {
    setWindowTitle(tr("Records - Pacequill"));
    setObjectName(QStringLiteral("RecordsWindow"));
    auto *layout = new QVBoxLayout(this);
    auto *choices = new QHBoxLayout;
    auto *caption = new QLabel(tr("Week &starts on:"), this);
    WeekStart = new QComboBox(this);
    WeekStart->setObjectName(QStringLiteral("WeekStart"));
    WeekStart->addItems(
        {tr("Monday"), tr("Tuesday"), tr("Wednesday"), tr("Thursday"), tr("Friday"), tr("Saturday"), tr("Sunday")});
    caption->setBuddy(WeekStart);
    choices->addWidget(caption);
    choices->addWidget(WeekStart);
    TagChoice = TagFilterBox::AddTo(choices, Source);
    choices->addStretch();
    layout->addLayout(choices);

    PageTabs = new QTabWidget(this);
    PageTabs->setObjectName(QStringLiteral("Pages"));
    auto *recordsPage = new QWidget;
    auto *recordsLayout = new QVBoxLayout(recordsPage);
    recordsLayout->setContentsMargins({});
    Records = MakeTable(this, QStringLiteral("Records"),
                        {tr("Record"), tr("Date"), tr("Distance"), tr("Time"), tr("Pace per mile"), tr("Pace per km")});
    Records->setAccessibleName(tr("Personal records"));
    recordsLayout->addWidget(Records, 2);
    PredictionsLabel = new QLabel(this);
    PredictionsLabel->setObjectName(QStringLiteral("PredictionsCaption"));
    PredictionsLabel->setWordWrap(true);
    recordsLayout->addWidget(PredictionsLabel);
    Predictions = MakeTable(this, QStringLiteral("Predictions"),
                            {tr("Distance"), tr("Predicted time"), tr("Pace per mile"), tr("Pace per km"), tr("Base")});
    Predictions->setAccessibleName(tr("Predicted times"));
    PredictionsLabel->setBuddy(Predictions);
    recordsLayout->addWidget(Predictions, 1);
    PageTabs->addTab(recordsPage, tr("&Records"));
    ShoesView = new ShoesPage;
    PageTabs->addTab(ShoesView, tr("S&hoes"));
    GoalsView = new GoalsPage;
    PageTabs->addTab(GoalsView, tr("&Goals"));
    layout->addWidget(PageTabs, 1);
    // The window opens with the keys in its table of records, the thing it is opened for.
    Records->setFocus();

    connect(Records, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { SelectRecordRow(row); });
    connect(Records, &QTableWidget::cellActivated, this, [this](int row, int) { SelectRecordRow(row); });
    connect(WeekStart, &QComboBox::currentIndexChanged, this, &RecordsWindow::Refresh);
    connect(PageTabs, &QTabWidget::currentChanged, this, &RecordsWindow::UpdateChoices);
    connect(&Source, &InsightSource::RunsChanged, this, &RecordsWindow::Refresh);
    connect(&Source, &InsightSource::ProfileChanged, this, &RecordsWindow::Refresh);
    connect(ShoesView, &ShoesPage::RunChosen, this, [this](int row) {
        if (SelectRow)
            SelectRow(row);
    });
    connect(ShoesView, &ShoesPage::SettingsRequested, this, &RecordsWindow::EditShoeSettings);
    Refresh();
    OpenAtFullSize();
}

// Wide enough for every column of the tables and high enough for their rows, as far as the screen allows, so
// the window opens without a horizontal scroll bar. The hint leaves out a vertical scroll bar the tables may show.
void RecordsWindow::OpenAtFullSize() {
    const QSize wanted = sizeHint() + QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent), 0);
    const QScreen *shown = screen();
    const QSize room = shown ? shown->availableGeometry().size() : wanted;
    resize(wanted.expandedTo({DefaultWidth, DefaultHeight}).boundedTo(room));
}

ShoesPage *RecordsWindow::Shoes() const {
    BringUpToDate(ShoesView);
    return ShoesView;
}

GoalsPage *RecordsWindow::Goals() const {
    BringUpToDate(GoalsView);
    return GoalsView;
}

void RecordsWindow::BringUpToDate(const QWidget *page) const {
    const pq::LogList &list = Source.List();
    const pq::LogProfile &profile = Source.Profile();
    if (page == ShoesView && ShoesStale) {
        ShoesStale = false;
        ShoesView->Show(list, Source.Filter(), profile);
        ShoesView->SetSettingsWritable(Source.ProfileWatch() && !Source.ProfileWatch()->LogPath().isEmpty());
    } else if (page == GoalsView && GoalsStale) {
        GoalsStale = false;
        GoalsView->Show(profile.Goals,
                        pq::ComputeGoals(list, profile, InsightSource::Today(), WeekStart->currentIndex()));
    }
}

void RecordsWindow::UpdateChoices() {
    BringUpToDate(PageTabs->currentWidget());
    // The shoes do not count by weeks; a goal takes the runs of its own tag.
    WeekStart->setEnabled(PageTabs->currentWidget() != ShoesView);
    TagChoice->setEnabled(PageTabs->currentWidget() != GoalsView);
}

void RecordsWindow::Refresh() {
    ShoesStale = true;
    GoalsStale = true;
    BringUpToDate(PageTabs->currentWidget());
    ShowRecords();
}

void RecordsWindow::ShowRecords() {
    const pq::LogList &list = Source.List();
    const int today = InsightSource::Today();
    const int weekStart = WeekStart->currentIndex();
    const pq::RowFilter isRace = pq::MarkFilter(list, pq::TagSign, std::string(pq::RaceTag));
    const std::optional<std::vector<pq::CountedRun>> &added = Source.AddedRuns();
    if (Shown && added && ShownToday == today && ShownWeekStart == weekStart)
        Shown = pq::RecordsWithAddedRuns(std::move(*Shown), Source.Runs(), *added, today, weekStart, isRace);
    else
        Shown = pq::ComputeRecords(Source.Runs(), today, weekStart, isRace);
    ShownToday = today;
    ShownWeekStart = weekStart;
    const pq::PersonalRecords &records = *Shown;
    Records->setRowCount(0);
    std::vector<pq::RunRecord> runs = records.Best;
    if (records.Longest)
        runs.push_back(*records.Longest);
    for (const pq::RunRecord &record : runs) {
        const int row = record.Run.Row;
        AddRow(Records,
               {Text(std::string(record.Label)), RowText(list, row, pq::DateColumn),
                RowText(list, row, pq::DistanceColumn), RowText(list, row, pq::TimeColumn),
                Text(pq::PaceText(record.Run.Seconds, record.Run.Miles)),
                Text(pq::PaceText(record.Run.Seconds, record.Run.Kilometers))},
               row);
    }
    const std::pair<std::string_view, const std::optional<pq::PeriodRecord> *> periods[] = {
        {pq::BiggestWeekLabel, &records.BiggestWeek},
        {pq::BiggestMonthLabel, &records.BiggestMonth},
        {pq::BiggestYearLabel, &records.BiggestYear}};
    for (const auto &[label, period] : periods) {
        if (!*period)
            continue;
        const pq::RunTotals &totals = (*period)->Totals;
        // The period's last run is the one a double-click selects.
        auto last = pq::FirstRunFrom(Source.Runs(), (*period)->LastDay + 1);
        const int lastRow = last == Source.Runs().begin() ? -1 : std::prev(last)->Row;
        AddRow(Records,
               {Text(std::string(label)),
                tr("%1 to %2").arg(Text(pq::DayText((*period)->FirstDay)), Text(pq::DayText((*period)->LastDay))),
                tr("%1 Miles, %2 Kilometers (%3 runs)")
                    .arg(Text(pq::FormatHundredths(totals.Miles)), Text(pq::FormatHundredths(totals.Kilometers)))
                    .arg(totals.Runs),
                Text(pq::ClockText(totals.Seconds)), Text(pq::PaceText(totals.PacedSeconds, totals.PacedMiles)),
                Text(pq::PaceText(totals.PacedSeconds, totals.PacedKilometers))},
               lastRow);
    }
    Records->resizeColumnsToContents();

    Predictions->setRowCount(0);
    if (records.Predictions.empty()) {
        PredictionsLabel->setText(
            tr("Predictions need a run at a standard distance, with its time, in the last %1 days.")
                .arg(pq::PredictionDays));
        return;
    }
    PredictionsLabel->setText(
        tr("&Predicted by Riegel's formula from the best runs of the last %1 days (#race runs first), each from "
           "the nearest distance:")
            .arg(pq::PredictionDays));
    for (const pq::Prediction &prediction : records.Predictions) {
        AddRow(Predictions,
               {Text(std::string(prediction.Label)), Text(pq::ClockText(prediction.Seconds)),
                Text(pq::PaceText(prediction.Seconds, prediction.Kilometers / pq::KilometersPerMile)),
                Text(pq::PaceText(prediction.Seconds, prediction.Kilometers)), Text(pq::BaseText(prediction.Base))},
               prediction.Base.Run.Row);
    }
    Predictions->resizeColumnsToContents();
}

void RecordsWindow::SelectRecordRow(int tableRow) {
    const QTableWidgetItem *item = Records->item(tableRow, RecordColumn);
    const int row = item ? item->data(RowRole).toInt() : -1;
    if (row >= 0 && SelectRow)
        SelectRow(row);
}

void RecordsWindow::EditShoeSettings(int index) {
    LogProfileWatch *watch = Source.ProfileWatch();
    const std::vector<pq::ShoeRow> &shoes = ShoesView->Registry();
    if (!watch || index < 0 || index >= static_cast<int>(shoes.size()))
        return;
    ShoeSettingsDialog dialog(watch->LogFilePath(), shoes[static_cast<std::size_t>(index)].Settings,
                              ShoesView->ShownLimit().Unit, this);
    if (dialog.exec() == QDialog::Accepted)
        watch->CheckDisk();
}
