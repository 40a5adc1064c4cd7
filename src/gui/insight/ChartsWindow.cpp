#include "insight/ChartsWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <iterator>
#include <utility>

#include "frame/Prompts.h"
#include "insight/ChartSeries.h"
#include "insight/ConsistencyChart.h"
#include "insight/InsightSource.h"
#include "insight/LogProfile.h"
#include "insight/TagFilterBox.h"
#include "insight/TrainingLoad.h"
#include "insight/TrainingLoadChart.h"
#include "insight/WeeklyChart.h"
#include "insight/YearOverYearChart.h"
#include "log/NoteMarks.h"

namespace {

const QString ImageFilter = QStringLiteral("PNG image (*.png);;SVG image (*.svg)");
const QString DefaultImageSuffix = QStringLiteral("png");
constexpr int DefaultWidth = 760;
constexpr int DefaultHeight = 440;
constexpr int DaysPerWeek = 7;

QComboBox *AddChoice(QHBoxLayout *row, QWidget *owner, const QString &label, const QString &name,
                     const QStringList &items) {
    auto *caption = new QLabel(label, owner);
    auto *box = new QComboBox(owner);
    box->setObjectName(name);
    box->addItems(items);
    caption->setBuddy(box);
    row->addWidget(caption);
    row->addWidget(box);
    return box;
}

} // namespace

ChartsWindow::ChartsWindow(InsightSource &source, QWidget *parent) : QWidget(parent, Qt::Window), Source(source) {
    setWindowTitle(tr("Charts - Pacequill"));
    setObjectName(QStringLiteral("ChartsWindow"));
    auto *layout = new QVBoxLayout(this);
    auto *choices = new QHBoxLayout;
    QStringList weekItems;
    for (const int weeks : WeekChoices)
        weekItems << (weeks == 0 ? tr("All") : QString::number(weeks));
    Weeks = AddChoice(choices, this, tr("&Weeks:"), QStringLiteral("Weeks"), weekItems);
    Weeks->setCurrentIndex(DefaultWeekChoice);
    WeekStart = AddChoice(
        choices, this, tr("Week &starts on:"), QStringLiteral("WeekStart"),
        {tr("Monday"), tr("Tuesday"), tr("Wednesday"), tr("Thursday"), tr("Friday"), tr("Saturday"), tr("Sunday")});
    Unit = AddChoice(choices, this, tr("&Unit:"), QStringLiteral("Unit"), {tr("Miles"), tr("Kilometers")});
    TagChoice = TagFilterBox::AddTo(choices, Source);
    choices->addStretch();
    layout->addLayout(choices);

    ChartTabs = new QTabWidget(this);
    ChartTabs->setObjectName(QStringLiteral("Charts"));
    WeeklyView = new WeeklyChart;
    WeeklyScroll = new QScrollArea;
    WeeklyScroll->setWidget(WeeklyView);
    WeeklyScroll->setWidgetResizable(true);
    WeeklyScroll->setFrameShape(QFrame::NoFrame);
    YearsView = new YearOverYearChart;
    CalendarView = new ConsistencyChart;
    ShowAllButton = new QPushButton(tr("Show &All Weeks"));
    ShowAllButton->setObjectName(QStringLiteral("ShowAllWeeks"));
    const std::pair<QWidget *, QString> charts[] = {
        {WeeklyScroll, tr("Weekly &distance")}, {YearsView, tr("&Year over year")}, {CalendarView, tr("&Consistency")}};
    for (const auto &[chart, title] : charts) {
        auto *page = new QStackedWidget;
        page->addWidget(chart);
        auto *empty = new QWidget;
        auto *emptyLayout = new QVBoxLayout(empty);
        auto *message = new QLabel;
        message->setAlignment(Qt::AlignCenter);
        message->setWordWrap(true);
        emptyLayout->addStretch();
        emptyLayout->addWidget(message);
        if (chart == WeeklyScroll)
            emptyLayout->addWidget(ShowAllButton, 0, Qt::AlignHCenter);
        emptyLayout->addStretch();
        page->addWidget(empty);
        ChartTabs->addTab(page, title);
        Pages.append(page);
        EmptyLabels.append(message);
    }
    // The training load draws all its days itself, so it has no message page.
    LoadView = new TrainingLoadChart;
    ChartTabs->addTab(LoadView, tr("Training &load"));
    layout->addWidget(ChartTabs, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    SaveButton = new QPushButton(tr("Save &Image..."), this);
    SaveButton->setObjectName(QStringLiteral("SaveImage"));
    buttons->addWidget(SaveButton);
    layout->addLayout(buttons);
    resize(DefaultWidth, DefaultHeight);

    for (QComboBox *box : {Weeks, WeekStart, Unit})
        connect(box, &QComboBox::currentIndexChanged, this, &ChartsWindow::Refresh);
    connect(SaveButton, &QPushButton::clicked, this, &ChartsWindow::SaveImage);
    connect(ShowAllButton, &QPushButton::clicked, this, &ChartsWindow::ShowAllWeeks);
    connect(ChartTabs, &QTabWidget::currentChanged, this, &ChartsWindow::UpdatePages);
    connect(WeeklyScroll->horizontalScrollBar(), &QScrollBar::valueChanged, WeeklyView, &WeeklyChart::PinAxisAt);
    connect(&Source, &InsightSource::RunsChanged, this, &ChartsWindow::Refresh);
    connect(&Source, &InsightSource::ProfileChanged, this, &ChartsWindow::Refresh);
    Refresh();
}

void ChartsWindow::Refresh() {
    Stale.fill(true);
    // The training load chart follows at once too: the weekly chart's warnings take its days anyway.
    BringUpToDate(TrainingLoadTab);
    UpdatePages();
}

WeeklyChart *ChartsWindow::Weekly() const {
    BringUpToDate(WeeklyTab);
    return WeeklyView;
}

YearOverYearChart *ChartsWindow::YearOverYear() const {
    BringUpToDate(YearOverYearTab);
    return YearsView;
}

ConsistencyChart *ChartsWindow::Consistency() const {
    BringUpToDate(ConsistencyTab);
    return CalendarView;
}

TrainingLoadChart *ChartsWindow::Load() const {
    BringUpToDate(TrainingLoadTab);
    return LoadView;
}

void ChartsWindow::BringUpToDate(Tab tab) const {
    if (!Stale[tab])
        return;
    Stale[tab] = false;
    const int today = InsightSource::Today();
    const int weekStart = WeekStart->currentIndex();
    const auto unit = Unit->currentIndex() == 0 ? pq::DistanceUnit::Miles : pq::DistanceUnit::Kilometers;
    switch (tab) {
    case WeeklyTab:
    case TrainingLoadTab:
        DrawWeeklyAndLoad();
        break;
    case YearOverYearTab:
        YearsView->SetYearGoal(YearGoal(unit));
        YearsView->SetSeries(pq::YearOverYearSeries(Source.Runs(), today), unit);
        ShowPage(tab);
        break;
    case ConsistencyTab:
        CalendarView->SetCalendar(pq::ConsistencySeries(Source.Runs(), today, weekStart), unit, weekStart);
        ShowPage(tab);
        break;
    case TabCount:
        break;
    }
}

void ChartsWindow::DrawWeeklyAndLoad() const {
    Stale[WeeklyTab] = false;
    Stale[TrainingLoadTab] = false;
    const int today = InsightSource::Today();
    const int weekStart = WeekStart->currentIndex();
    const auto unit = Unit->currentIndex() == 0 ? pq::DistanceUnit::Miles : pq::DistanceUnit::Kilometers;
    const std::optional<std::vector<pq::CountedRun>> &added = Source.AddedRuns();
    if (added && AllWeeksToday == today && AllWeeksStart == weekStart)
        AllWeeks = pq::WeeklySeriesWithAddedRuns(std::move(AllWeeks), Source.Runs(), *added, today, weekStart);
    else
        AllWeeks = pq::WeeklySeries(Source.Runs(), today, weekStart);
    AllWeeksToday = today;
    AllWeeksStart = weekStart;
    std::vector<pq::WeekBar> bars = AllWeeks;
    pq::KeepLastWeeks(bars, today, weekStart, std::size_t(WeekChoices[Weeks->currentIndex()]));
    const std::vector<pq::LoadDay> load = pq::TrainingLoadSeries(Source.Loads(), today);
    // A week is marked by the ratio of its last day, or of today in the current week.
    std::vector<bool> loadWarnings;
    for (const pq::WeekBar &bar : bars) {
        const pq::LoadDay *last = pq::LoadOn(load, std::min(bar.FirstDay + DaysPerWeek - 1, today));
        loadWarnings.push_back(last != nullptr && pq::IsLoadWarning(last->Ratio));
    }
    WeeklyView->SetBars(std::move(bars), unit, std::move(loadWarnings));
    const std::size_t shownDays = std::size_t(WeekChoices[Weeks->currentIndex()]) * DaysPerWeek;
    const std::size_t hidden = shownDays == 0 ? 0 : load.size() - std::min(load.size(), shownDays);
    LoadView->SetDays({load.begin() + std::ptrdiff_t(hidden), load.end()});
    ShowPage(WeeklyTab);
    // The latest weeks are the ones a runner looks at first.
    QTimer::singleShot(0, this, [this] {
        WeeklyScroll->horizontalScrollBar()->setValue(WeeklyScroll->horizontalScrollBar()->maximum());
    });
}

// The profile's first year goal over the runs shown: of the tag chosen, or of every run.
std::optional<double> ChartsWindow::YearGoal(pq::DistanceUnit unit) const {
    const std::string tag = Source.Tag().value_or(std::string());
    for (const pq::Goal &goal : Source.Profile().Goals) {
        if (goal.Period == pq::GoalPeriod::Year && pq::SameMarkName(goal.Tag, tag))
            return pq::InUnit(goal.Target, unit);
    }
    return std::nullopt;
}

void ChartsWindow::ShowPage(Tab tab) const {
    if (tab >= Pages.size())
        return;
    QString message;
    const QString noRuns = tr("No runs to show.");
    const auto between = [](int first, int last) {
        return tr("No runs between %1 and %2.").arg(ChartView::DayText(first), ChartView::DayText(last));
    };
    if (tab == WeeklyTab && !WeeklyView->HasRuns()) {
        const std::vector<pq::WeekBar> &bars = WeeklyView->Bars();
        message = bars.empty() ? noRuns : between(bars.front().FirstDay, InsightSource::Today());
    } else if (tab == YearOverYearTab && !YearsView->HasRuns()) {
        message = noRuns;
    } else if (tab == ConsistencyTab && !CalendarView->HasRuns()) {
        message = between(std::max(1, CalendarView->Calendar().FirstDay), CalendarView->Calendar().LastDay);
    }
    EmptyLabels[tab]->setText(message);
    Pages[tab]->setCurrentIndex(message.isEmpty() ? 0 : 1);
}

void ChartsWindow::UpdatePages() {
    const int tab = ChartTabs->currentIndex();
    BringUpToDate(Tab(tab));
    ShowAllButton->setVisible(!Source.Runs().empty() && WeekChoices[Weeks->currentIndex()] != 0);
    Weeks->setEnabled(tab == WeeklyTab || tab == TrainingLoadTab);
    WeekStart->setEnabled(tab != YearOverYearTab && tab != TrainingLoadTab);
    SaveButton->setEnabled(EmptyMessage().isEmpty());
}

void ChartsWindow::ShowAllWeeks() {
    Weeks->setCurrentIndex(int(std::size(WeekChoices)) - 1);
    ChartTabs->setCurrentIndex(WeeklyTab);
}

QString ChartsWindow::EmptyMessage() const {
    const int tab = ChartTabs->currentIndex();
    return tab < Pages.size() && Pages[tab]->currentIndex() != 0 ? EmptyLabels[tab]->text() : QString();
}

void ChartsWindow::SaveImage() {
    Prompts::FileDialogSpec spec;
    spec.Filter = ImageFilter;
    spec.DefaultSuffix = DefaultImageSuffix;
    spec.ConfirmOverwrite = true;
    const QString path = Prompts::Current().SaveFileName(this, spec);
    if (path.isEmpty())
        return;
    const ChartView *charts[] = {WeeklyView, YearsView, CalendarView, LoadView};
    QString error;
    if (charts[ChartTabs->currentIndex()]->SaveImage(path, error))
        return;
    Prompts::Error(this, tr("Save Image"), tr("The image was not saved.\n\n%1: %2").arg(path, error));
}
