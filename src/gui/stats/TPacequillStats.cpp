#include "stats/TPacequillStats.h"

#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTreeWidget>

#include "frame/ContextHelp.h"
#include "frame/DialogTemplate.h"
#include "frame/HelpClient.h"
#include "frame/HelpContextRegistry.h"
#include "frame/Prompts.h"
#include "stats/LiveSnapshot.h"
#include "stats/StatsCalendar.h"
#include "stats/TotalsColumnsDelegate.h"

const QString TPacequillStats::HelpFile = QStringLiteral("pacequill.hlp>pqhw");

namespace {

const QStringList TabTexts{QStringLiteral("Weekly"), QStringLiteral("Monthly"), QStringLiteral("Yearly"),
                           QStringLiteral("From/Thru")};
const QStringList WeekdayNames{QStringLiteral("Monday"),   QStringLiteral("Tuesday"), QStringLiteral("Wednesday"),
                               QStringLiteral("Thursday"), QStringLiteral("Friday"),  QStringLiteral("Saturday"),
                               QStringLiteral("Sunday")};
const QString TotalsHeaders[] = {QStringLiteral("Miles"), QStringLiteral("Kilometers"), QStringLiteral("Marathons")};

const QString ErrorCaption = QStringLiteral("Error");
const QString UnknownTabText = QStringLiteral("Unknown Tab requested");
const QString UnknownTabChangeText = QStringLiteral("Can't determine which tab to switch to.");

// Tab indexes of the tab control.
constexpr int WeeklyIndex = 0;
constexpr int MonthlyIndex = 1;
constexpr int YearlyIndex = 2;
constexpr int FromThruIndex = 3;

constexpr int MonthsPerYear = 12;
constexpr int DaysInLongestMonth = 31;
constexpr int FirstYear = 1980;
constexpr int YearCount = 100;

// Column widths from the outer width w of the weekly list: w / 2 - 20 for the label, w / 6 for each total.
constexpr int LabelWidthDivisor = 2;
constexpr int LabelWidthAllowance = 20;
constexpr int TotalWidthDivisor = 6;
constexpr int ColumnCount = 4;

// The controls that show on each tab, in the order in which they are shown and hidden.
constexpr int WeeklyControls[] = {110, 102, 101};
constexpr int MonthlyControls[] = {129};
constexpr int YearlyControls[] = {130};
constexpr int FromThruControls[] = {103, 104, 105, 106, 107, 108, 111, 112, 113, 117, 114, 115, 116,
                                    118, 119, 120, 109, 121, 122, 123, 124, 125, 126, 127, 128};

// Controls that answer a help request with their own help context, which equals their id.
constexpr int HelpContextControls[] = {1101, 908, 131, 110, 101, 129, 130, 111, 103, 104,
                                       105,  112, 106, 107, 108, 113, 114, 115, 116, 117};

QTreeWidget *MakeReportList(QWidget *parent) {
    auto *list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    list->setItemDelegate(new TotalsColumnsDelegate(list));
    // The selection is shown as strongly without the focus as with it.
    QPalette colours = list->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    list->setPalette(colours);
    // Column widths are set once; the user can neither drag nor move the columns.
    QHeaderView *header = list->header();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    return list;
}

QWidget *MakeControl(const DialogTemplate::Control &control, QWidget *parent) {
    switch (control.ControlKind) {
    case DialogTemplate::Kind::ListView:
        return MakeReportList(parent);
    case DialogTemplate::Kind::Static:
        if (control.Style.contains(QLatin1String("hline"))) {
            auto *line = new QFrame(parent);
            line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
            return line;
        }
        return nullptr;
    default:
        return nullptr;
    }
}

QString Text(const std::string &bytes) {
    // Labels and totals are ASCII digits, blanks and month names.
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

TPacequillStats::TPacequillStats(QWidget *parent, HelpClient *help)
    : QDialog(parent), Help(help ? help : &ContextHelp::ApplicationClient()) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint);
    const DialogTemplate dialog = DialogTemplate::Load(TemplateId);
    dialog.Build(this, MakeControl);
    setFixedSize(dialog.PixelSize());

    const auto control = [this](int id) { return findChild<QWidget *>(QString::number(id)); };
    const auto combo = [this](int id) { return findChild<QComboBox *>(QString::number(id)); };
    Tabs = findChild<QTabBar *>(QString::number(TabControlId));
    WeeklyList = findChild<QTreeWidget *>(QString::number(WeeklyListId));
    MonthlyList = findChild<QTreeWidget *>(QString::number(MonthlyListId));
    YearlyList = findChild<QTreeWidget *>(QString::number(YearlyListId));
    WeekStartList = combo(WeekStartListId);
    From = DateSide{combo(FromMonthId), combo(FromDayId), combo(FromYearId)};
    Thru = DateSide{combo(ThruMonthId), combo(ThruDayId), combo(ThruYearId)};
    Results = {findChild<QLineEdit *>(QString::number(MilesResultId)),
               findChild<QLineEdit *>(QString::number(KilometersResultId)),
               findChild<QLineEdit *>(QString::number(MarathonsResultId))};
    for (QLineEdit *field : Results)
        field->setAlignment(Qt::AlignCenter);

    connect(Tabs, &QTabBar::currentChanged, this, &TPacequillStats::OnTabChanged);
    // The keys that page through tabs elsewhere, wrapping around at either end.
    const std::pair<QKeyCombination, int> tabKeys[] = {{Qt::CTRL | Qt::Key_Tab, 1},
                                                       {Qt::CTRL | Qt::Key_PageDown, 1},
                                                       {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1},
                                                       {Qt::CTRL | Qt::Key_PageUp, -1}};
    for (const auto &[key, step] : tabKeys) {
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this, [this, step = step] {
            Tabs->setCurrentIndex((Tabs->currentIndex() + step + Tabs->count()) % Tabs->count());
        });
    }
    connect(WeekStartList, &QComboBox::currentIndexChanged, this, &TPacequillStats::OnWeekStartChanged);
    for (DateSide *side : {&From, &Thru}) {
        for (QComboBox *list : {side->Month, side->Day, side->Year}) {
            connect(list, &QComboBox::currentIndexChanged, this,
                    [this, side, list](int index) { OnDateChanged(*side, list, index); });
        }
    }
    connect(qobject_cast<QPushButton *>(control(CloseId)), &QPushButton::clicked, this, &QDialog::reject);
    connect(qobject_cast<QPushButton *>(control(CalculateId)), &QPushButton::clicked, this,
            &TPacequillStats::RangeCalculation);
    connect(qobject_cast<QPushButton *>(control(HelpId)), &QPushButton::clicked, this, &TPacequillStats::ShowHelp);

    SetupWindow();

    // The tab control is a bar over a framed page; the page stays behind every other control. The bar's height
    // is known once it holds its tabs.
    const QRect area = Tabs->geometry();
    Tabs->setGeometry(area.x(), area.y(), area.width(), Tabs->sizeHint().height());
    auto *page = new QFrame(this);
    page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    page->setGeometry(area.x(), area.y() + Tabs->height() - 1, area.width(), area.height() - Tabs->height() + 1);
    page->lower();

    HelpContextRegistry &registry = HelpContextRegistry::Application();
    for (const int id : HelpContextControls)
        registry.Add(this, static_cast<quint32>(id), 0, id);
}

TPacequillStats::~TPacequillStats() {
    HelpContextRegistry::Application().RemoveWindow(this);
}

void TPacequillStats::SetupWindow() {
    const QSignalBlocker blocker(Tabs);
    for (const QString &text : TabTexts)
        Tabs->addTab(text);

    const int outerWidth = WeeklyList->frameGeometry().width();
    const QStringList labels[] = {
        {QStringLiteral("Week Starting...")}, {QStringLiteral("Month...")}, {QStringLiteral("Year...")}};
    QTreeWidget *lists[] = {WeeklyList, MonthlyList, YearlyList};
    for (int i = 0; i < 3; ++i) {
        QTreeWidget *list = lists[i];
        list->setColumnCount(ColumnCount);
        auto *header = new QTreeWidgetItem(labels[i] + QStringList(std::begin(TotalsHeaders), std::end(TotalsHeaders)));
        header->setTextAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
        for (int column = 1; column < ColumnCount; ++column)
            header->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        list->setHeaderItem(header);
        list->header()->setSectionResizeMode(QHeaderView::Fixed);
        list->header()->resizeSection(0, outerWidth / LabelWidthDivisor - LabelWidthAllowance);
        for (int column = 1; column < ColumnCount; ++column)
            list->header()->resizeSection(column, outerWidth / TotalWidthDivisor);
    }
}

void TPacequillStats::showEvent(QShowEvent *event) {
    if (!Initialised) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        InitDialog();
    }
    QDialog::showEvent(event);
}

void TPacequillStats::InitDialog() {
    if (Initialised)
        return;
    Initialised = true;

    {
        const QSignalBlocker blocker(WeekStartList);
        WeekStartList->addItems(WeekdayNames);
        WeekStartList->setCurrentIndex(WeekStart);
    }
    LastWeekStart = WeekStart;
    WeeklyPending = MonthlyPending = YearlyPending = true;

    QStringList months;
    for (int month = 1; month <= MonthsPerYear; ++month) {
        const std::string_view name = pq::MonthName(month);
        months.append(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    QStringList days;
    for (int day = 1; day <= DaysInLongestMonth; ++day)
        days.append(QString::number(day));
    QStringList years;
    for (int year = FirstYear; year < FirstYear + YearCount; ++year)
        years.append(QString::number(year));
    From.MonthIndex = 0;
    From.DayIndex = 0;
    From.YearIndex = 0;
    Thru.MonthIndex = MonthsPerYear - 1;
    Thru.DayIndex = DaysInLongestMonth - 1;
    Thru.YearIndex = YearCount - 1;
    for (DateSide *side : {&From, &Thru}) {
        const std::pair<QComboBox *, const QStringList *> lists[] = {
            {side->Month, &months}, {side->Day, &days}, {side->Year, &years}};
        for (const auto &[list, items] : lists) {
            const QSignalBlocker blocker(list);
            list->addItems(*items);
        }
        const QSignalBlocker monthBlocker(side->Month);
        const QSignalBlocker dayBlocker(side->Day);
        const QSignalBlocker yearBlocker(side->Year);
        side->Month->setCurrentIndex(side->MonthIndex);
        side->Day->setCurrentIndex(side->DayIndex);
        side->Year->setCurrentIndex(side->YearIndex);
    }
    FirstShow = true;
    Stale = true;

    switch (RequestedTabNumber) {
    case WeeklyTab:
        SelectTab(WeeklyIndex);
        WeeklyRefresh();
        break;
    case MonthlyTab:
        SelectTab(MonthlyIndex);
        MonthlyRefresh();
        break;
    case YearlyTab:
        SelectTab(YearlyIndex);
        YearlyRefresh();
        break;
    case FromThruTab:
        SelectTab(FromThruIndex);
        FromThruFirstShow();
        break;
    default:
        Prompts::Error(this, ErrorCaption, UnknownTabText);
        return;
    }
    ShowAndHideControls();
}

void TPacequillStats::SelectTab(int tabIndex) {
    // Selecting the opening tab is not a change of tab.
    const QSignalBlocker blocker(Tabs);
    Tabs->setCurrentIndex(tabIndex);
}

void TPacequillStats::OnTabChanged(int index) {
    switch (index) {
    case WeeklyIndex:
        WeeklyRefresh();
        break;
    case MonthlyIndex:
        MonthlyRefresh();
        break;
    case YearlyIndex:
        YearlyRefresh();
        break;
    case FromThruIndex:
        FromThruFirstShow();
        break;
    default:
        Prompts::Error(this, ErrorCaption, UnknownTabChangeText);
        break;
    }
    ShowAndHideControls();
}

void TPacequillStats::ShowAndHideControls() {
    const int selected = Tabs->currentIndex();
    const auto apply = [this, selected](int tabIndex, const auto &ids) {
        const bool shown = tabIndex == selected;
        for (const int id : ids) {
            if (QWidget *widget = findChild<QWidget *>(QString::number(id))) {
                widget->setVisible(shown);
                widget->setEnabled(shown);
            }
        }
    };
    apply(WeeklyIndex, WeeklyControls);
    apply(MonthlyIndex, MonthlyControls);
    apply(YearlyIndex, YearlyControls);
    apply(FromThruIndex, FromThruControls);
}

void TPacequillStats::WeeklyRefresh() {
    if (!WeeklyPending)
        return;
    WeeklyPending = false;
    WeeklyList->clear();
    FillList(WeeklyList, Weekly());
}

void TPacequillStats::MonthlyRefresh() {
    if (!MonthlyPending)
        return;
    MonthlyPending = false;
    MonthlyList->clear();
    FillList(MonthlyList, Monthly());
}

void TPacequillStats::YearlyRefresh() {
    if (!YearlyPending)
        return;
    YearlyPending = false;
    YearlyList->clear();
    FillList(YearlyList, Yearly());
}

void TPacequillStats::FillList(QTreeWidget *list, const std::vector<pq::PeriodRow> &rows) {
    QList<QTreeWidgetItem *> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const pq::PeriodRow &row : rows) {
        items.append(new QTreeWidgetItem(
            QStringList{Text(row.Label), Text(row.Miles), Text(row.Kilometers), Text(row.Marathons)}));
    }
    list->addTopLevelItems(items);
    if (items.isEmpty())
        return;
    // The most recent period is the one the runner looks for first.
    QTreeWidgetItem *last = items.constLast();
    list->scrollToItem(last);
    list->setCurrentItem(last);
}

void TPacequillStats::OnWeekStartChanged(int index) {
    WeekStart = index;
    if (WeekStart == LastWeekStart)
        return;
    LastWeekStart = WeekStart;
    WeeklyPending = true;
    WeeklyRefresh();
}

void TPacequillStats::FromThruFirstShow() {
    if (!FirstShow)
        return;
    FirstShow = false;
    RangeCalculation();
}

void TPacequillStats::RangeCalculation() {
    if (!Stale)
        return;
    Stale = false;
    ClearResults();
    const pq::CalendarDate from{FirstYear + From.YearIndex, From.MonthIndex + 1, From.DayIndex + 1};
    const pq::CalendarDate thru{FirstYear + Thru.YearIndex, Thru.MonthIndex + 1, Thru.DayIndex + 1};
    const pq::RangeResult result = Range(from, thru);
    Results[0]->setText(Text(result.Miles));
    Results[1]->setText(Text(result.Kilometers));
    Results[2]->setText(Text(result.Marathons));
}

void TPacequillStats::OnDateChanged(DateSide &side, QComboBox *changed, int index) {
    int &stored = changed == side.Month ? side.MonthIndex : changed == side.Day ? side.DayIndex : side.YearIndex;
    if (index == stored)
        return;
    stored = index;
    if (!Stale) {
        ClearResults();
        Stale = true;
    }
    const int clamped = pq::ClampDay(side.MonthIndex, side.DayIndex, side.YearIndex);
    if (clamped != side.DayIndex) {
        side.DayIndex = clamped;
        // Moving the day to a day the month has is not the user's choice of a day.
        const QSignalBlocker blocker(side.Day);
        side.Day->setCurrentIndex(clamped);
    }
}

void TPacequillStats::ClearResults() {
    for (QLineEdit *field : Results)
        field->clear();
}

void TPacequillStats::ShowHelp() {
    Help->Request(this, HelpFile, HelpClient::Command::Context, HelpContext);
}

template <class Result>
Result TPacequillStats::Compute(const std::function<Result(const pq::UnitReporter &)> &fromSnapshot) {
    int unrecognized = 0;
    Result result = fromSnapshot([&unrecognized](const pq::UnrecognizedUnit &) { ++unrecognized; });
    for (int i = 0; i < unrecognized; ++i)
        ShowRunningTotalsError();
    return result;
}

std::vector<pq::PeriodRow> TPacequillStats::Weekly() {
    return Compute<std::vector<pq::PeriodRow>>([this](const pq::UnitReporter &report) {
        return Live ? pq::WeeklyTotals(Live(), WeekStart, report) : pq::WeeklyTotals(Snapshot, WeekStart, report);
    });
}

std::vector<pq::PeriodRow> TPacequillStats::Monthly() {
    return Compute<std::vector<pq::PeriodRow>>([this](const pq::UnitReporter &report) {
        return Live ? pq::MonthlyTotals(Live(), report) : pq::MonthlyTotals(Snapshot, report);
    });
}

std::vector<pq::PeriodRow> TPacequillStats::Yearly() {
    return Compute<std::vector<pq::PeriodRow>>([this](const pq::UnitReporter &report) {
        return Live ? pq::YearlyTotals(Live(), report) : pq::YearlyTotals(Snapshot, report);
    });
}

pq::RangeResult TPacequillStats::Range(const pq::CalendarDate &from, const pq::CalendarDate &thru) {
    return Compute<pq::RangeResult>([&](const pq::UnitReporter &report) {
        return Live ? pq::RangeTotals(Live(), from, thru, report) : pq::RangeTotals(Snapshot, from, thru, report);
    });
}

void TPacequillStats::ShowRunningTotalsError() {
    Prompts::Error(this,
                   QString::fromLatin1(pq::RunningTotalsErrorCaption.data(),
                                       static_cast<qsizetype>(pq::RunningTotalsErrorCaption.size())),
                   QString::fromLatin1(pq::RunningTotalsErrorMessage.data(),
                                       static_cast<qsizetype>(pq::RunningTotalsErrorMessage.size())));
}
