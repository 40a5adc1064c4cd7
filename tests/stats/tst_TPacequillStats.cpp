#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

#include "frame/HelpClient.h"
#include "frame/HelpContextRegistry.h"
#include "frame/Prompts.h"
#include "log/LogList.h"
#include "stats/PeriodTotals.h"
#include "stats/TPacequillStats.h"
#include "stats/TotalsColumnsDelegate.h"
#include "support/RecordingHelp.h"
#include "support/ScriptedPrompts.h"

namespace {

using Stats = TPacequillStats;

// The rows of the examples: two weeks of March 1998 and a row without a date.
const QStringList MarchRows{"1998/03/09\t1 Marathons\t03:30:00\tNone", "1998/03/02\t3.1 Miles\t00:25:00\tNone",
                            "No Date\t2 Miles\t00:16:00\tNone", "1998/03/08\t5 Kilometers\t00:25:00\tNone"};
const QString LowerCaseMilesRow = QStringLiteral("1998/03/04\t4 miles\t00:30:00\tNone");

QStringList Column(const QTreeWidget *list, int column) {
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts.append(list->topLevelItem(row)->text(column));
    return texts;
}

} // namespace

class TestStats : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensOnRequestedTab_data();
    void opensOnRequestedTab();
    void weeklyOpeningSelectsLatestWeek();
    void emptyLog();
    void weekStartChangeRefillsOnce();
    void fieldsGoStaleUntilCalculate();
    void dayIsClamped_data();
    void dayIsClamped();
    void fromAfterThruGivesZero();
    void unrecognisedUnitReportedPerRun();
    void columnsAndWidths();
    void columnBordersCannotBeDragged();
    void helpButton();
    void helpContextsLiveWithTheDialog();
    void impossibleTabsReported_data();
    void impossibleTabsReported();
    void keysPageThroughTabs_data();
    void keysPageThroughTabs();

private:
    std::unique_ptr<Stats> Open(const QStringList &rows, int tab);
    template <typename T> T *Control(int id) const { return Dialog->findChild<T *>(QString::number(id)); }
    QStringList Results() const;
    int RunningTotalsErrors() const;

    ScriptedPrompts Answers;
    RecordingHelp Help;
    // The log a dialog's snapshot reads from; it outlives the dialog, as the client's log does.
    pq::LogList List;
    std::unique_ptr<Stats> Dialog;
};

void TestStats::init() {
    Prompts::Install(&Answers);
    Answers.Messages.clear();
    Help.Requests.clear();
}

void TestStats::cleanup() {
    Dialog.reset();
    Prompts::Install(nullptr);
}

std::unique_ptr<Stats> TestStats::Open(const QStringList &rows, int tab) {
    Dialog.reset(); // its snapshot reads from the list that is about to change
    pq::LogList &list = List;
    list.ClearRows();
    for (const QString &row : rows)
        list.AppendRow(row.toStdString());
    auto dialog = std::make_unique<Stats>(nullptr, &Help);
    dialog->SetRequestedTab(tab);
    dialog->SetSnapshot(pq::BuildSnapshot(list));
    dialog->SetWeekStart(0);
    dialog->InitDialog();
    return dialog;
}

QStringList TestStats::Results() const {
    return {Control<QLineEdit>(Stats::MilesResultId)->text(), Control<QLineEdit>(Stats::KilometersResultId)->text(),
            Control<QLineEdit>(Stats::MarathonsResultId)->text()};
}

int TestStats::RunningTotalsErrors() const {
    int count = 0;
    for (const Prompts::MessageSpec &spec : Answers.Messages) {
        if (spec.Text == "Running totals error" && spec.Caption == "Debug" && spec.BoxIcon == Prompts::Icon::Stop &&
            spec.Buttons == QList<Prompts::Button>{Prompts::Button::Ok})
            ++count;
    }
    return count;
}

void TestStats::opensOnRequestedTab_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QList<int>>("filledLists");
    QTest::addColumn<QList<int>>("shownControls");
    QTest::addColumn<QStringList>("results");

    QTest::newRow("weekly") << 1 << QList<int>{110} << QList<int>{110, 102, 101} << QStringList{"", "", ""};
    QTest::newRow("monthly") << 2 << QList<int>{129} << QList<int>{129} << QStringList{"", "", ""};
    QTest::newRow("yearly") << 3 << QList<int>{130} << QList<int>{130} << QStringList{"", "", ""};
    QTest::newRow("from/thru") << 4 << QList<int>{} << QList<int>{103, 108, 114, 117, 128}
                               << QStringList{"32.43", "52.18", "1.24"};
}

void TestStats::opensOnRequestedTab() {
    QFETCH(int, tab);
    QFETCH(QList<int>, filledLists);
    QFETCH(QList<int>, shownControls);
    QFETCH(QStringList, results);

    Dialog = Open(MarchRows, tab);
    QCOMPARE(Control<QTabBar>(Stats::TabControlId)->currentIndex(), tab - 1);
    for (const int list : {110, 129, 130}) {
        QCOMPARE(Control<QTreeWidget>(list)->topLevelItemCount() > 0, filledLists.contains(list));
        QCOMPARE(Control<QTreeWidget>(list)->isVisibleTo(Dialog.get()), shownControls.contains(list));
    }
    for (const int id : shownControls)
        QVERIFY(Control<QWidget>(id)->isVisibleTo(Dialog.get()) && Control<QWidget>(id)->isEnabled());
    for (const int always : {1101, 314, 908, 131})
        QVERIFY(Control<QWidget>(always)->isVisibleTo(Dialog.get()));
    QCOMPARE(Dialog->IsWeeklyPending(), tab != 1);
    QCOMPARE(Dialog->IsMonthlyPending(), tab != 2);
    QCOMPARE(Dialog->IsYearlyPending(), tab != 3);
    QCOMPARE(Dialog->IsFirstShowPending(), tab != 4);
    QCOMPARE(Dialog->IsStale(), tab != 4);
    QCOMPARE(Results(), results);
    // The opening date selections: 1980/01/01 to 2079/12/31.
    const QList<int> opening{0, 0, 0, 11, 30, 99};
    for (int i = 0; i < opening.size(); ++i)
        QCOMPARE(Control<QComboBox>(103 + i)->currentIndex(), opening[i]);
    QCOMPARE(Control<QComboBox>(Stats::WeekStartListId)->currentText(), "Monday");
    QVERIFY(Answers.Messages.isEmpty());
}

void TestStats::weeklyOpeningSelectsLatestWeek() {
    Dialog = Open(MarchRows, Stats::WeeklyTab);
    const auto *list = Control<QTreeWidget>(Stats::WeeklyListId);
    QCOMPARE(Column(list, 0), (QStringList{"March 2, 1998", "March 9, 1998"}));
    QCOMPARE(Column(list, 1), (QStringList{"6.21", "26.22"}));
    QCOMPARE(list->currentItem(), list->topLevelItem(1));
    QVERIFY(list->topLevelItem(1)->isSelected());

    // Other tabs fill their lists when first shown.
    Control<QTabBar>(Stats::TabControlId)->setCurrentIndex(1);
    QCOMPARE(Column(Control<QTreeWidget>(Stats::MonthlyListId), 0), QStringList{"1998 - March"});
    Control<QTabBar>(Stats::TabControlId)->setCurrentIndex(2);
    QCOMPARE(Column(Control<QTreeWidget>(Stats::YearlyListId), 3), QStringList{"1.24"});
}

void TestStats::emptyLog() {
    Dialog = Open({"No Date\t2 Miles\t00:16:00\tNone"}, Stats::FromThruTab);
    QCOMPARE(Results(), (QStringList{"0.00", "0.00", "0.00"}));
    auto *tabs = Control<QTabBar>(Stats::TabControlId);
    const int lists[] = {Stats::WeeklyListId, Stats::MonthlyListId, Stats::YearlyListId};
    for (int tab = 0; tab < 3; ++tab) {
        tabs->setCurrentIndex(tab);
        const auto *list = Control<QTreeWidget>(lists[tab]);
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(list->selectedItems().isEmpty());
    }
}

void TestStats::weekStartChangeRefillsOnce() {
    Dialog = Open(MarchRows + QStringList{LowerCaseMilesRow}, Stats::WeeklyTab);
    QCOMPARE(RunningTotalsErrors(), 1);
    auto *weekStart = Control<QComboBox>(Stats::WeekStartListId);
    weekStart->setCurrentIndex(6);
    QCOMPARE(Column(Control<QTreeWidget>(Stats::WeeklyListId), 0), (QStringList{"March 1, 1998", "March 8, 1998"}));
    QCOMPARE(Column(Control<QTreeWidget>(Stats::WeeklyListId), 1), (QStringList{"3.10", "29.33"}));
    QCOMPARE(RunningTotalsErrors(), 2);
    emit weekStart->currentIndexChanged(6); // the same day chosen again
    QCOMPARE(RunningTotalsErrors(), 2);
    QCOMPARE(Dialog->GetWeekStart(), 6);
}

void TestStats::fieldsGoStaleUntilCalculate() {
    Dialog = Open(MarchRows, Stats::FromThruTab);
    auto *calculate = Control<QPushButton>(Stats::CalculateId);
    auto *fromYear = Control<QComboBox>(Stats::FromYearId);
    auto *tabs = Control<QTabBar>(Stats::TabControlId);

    QTest::mouseClick(calculate, Qt::LeftButton);
    QCOMPARE(Results(), (QStringList{"32.43", "52.18", "1.24"}));
    fromYear->setCurrentIndex(1);
    QCOMPARE(Results(), (QStringList{"", "", ""}));
    QVERIFY(Dialog->IsStale());
    fromYear->setCurrentIndex(0);
    tabs->setCurrentIndex(0);
    tabs->setCurrentIndex(3);
    QCOMPARE(Results(), (QStringList{"", "", ""}));
    QTest::mouseClick(calculate, Qt::LeftButton);
    QCOMPARE(Results(), (QStringList{"32.43", "52.18", "1.24"}));

    // Only the rows of the chosen day.
    Control<QComboBox>(Stats::FromMonthId)->setCurrentIndex(2);
    Control<QComboBox>(Stats::FromDayId)->setCurrentIndex(1);
    fromYear->setCurrentIndex(18);
    Control<QComboBox>(Stats::ThruMonthId)->setCurrentIndex(2);
    Control<QComboBox>(Stats::ThruDayId)->setCurrentIndex(1);
    Control<QComboBox>(Stats::ThruYearId)->setCurrentIndex(18);
    QTest::mouseClick(calculate, Qt::LeftButton);
    QCOMPARE(Results(), (QStringList{"3.10", "4.99", "0.12"}));
    tabs->setCurrentIndex(1);
    tabs->setCurrentIndex(3);
    QCOMPARE(Results(), (QStringList{"3.10", "4.99", "0.12"}));
}

void TestStats::dayIsClamped_data() {
    QTest::addColumn<bool>("thru");
    // Selections (month, day, year indexes) in the order the user makes them; -1 leaves a list alone.
    QTest::addColumn<QList<QList<int>>>("choices");
    QTest::addColumn<int>("day");

    QTest::newRow("April 31 -> 30") << true << QList<QList<int>>{{3, -1, -1}, {-1, 30, -1}} << 29;
    QTest::newRow("Feb 29 2000, then 2001 -> 28")
        << false << QList<QList<int>>{{1, -1, -1}, {-1, 28, -1}, {-1, -1, 20}, {-1, -1, 21}} << 27;
    QTest::newRow("30th, then February of a leap year -> 29")
        << false << QList<QList<int>>{{-1, 29, 20}, {1, -1, -1}} << 28;
    QTest::newRow("30th, then February of a common year -> 28")
        << true << QList<QList<int>>{{-1, 29, 21}, {1, -1, -1}} << 27;
    QTest::newRow("January 31 stays") << false << QList<QList<int>>{{-1, 30, -1}} << 30;
}

void TestStats::dayIsClamped() {
    QFETCH(bool, thru);
    QFETCH(QList<QList<int>>, choices);
    QFETCH(int, day);

    Dialog = Open(MarchRows, Stats::FromThruTab);
    const int first = thru ? Stats::ThruMonthId : Stats::FromMonthId;
    for (const QList<int> &choice : choices) {
        for (int i = 0; i < 3; ++i) {
            if (choice[i] >= 0)
                Control<QComboBox>(first + i)->setCurrentIndex(choice[i]);
        }
    }
    QCOMPARE(Control<QComboBox>(first + 1)->currentIndex(), day);
}

void TestStats::fromAfterThruGivesZero() {
    Dialog = Open(MarchRows, Stats::FromThruTab);
    Control<QComboBox>(Stats::FromYearId)->setCurrentIndex(50);
    Control<QComboBox>(Stats::ThruYearId)->setCurrentIndex(10);
    QTest::mouseClick(Control<QPushButton>(Stats::CalculateId), Qt::LeftButton);
    QCOMPARE(Results(), (QStringList{"0.00", "0.00", "0.00"}));
    QVERIFY(Answers.Messages.isEmpty());
}

void TestStats::unrecognisedUnitReportedPerRun() {
    Dialog = Open(MarchRows + QStringList{LowerCaseMilesRow}, Stats::WeeklyTab);
    auto *tabs = Control<QTabBar>(Stats::TabControlId);
    QCOMPARE(RunningTotalsErrors(), 1);
    tabs->setCurrentIndex(1);
    QCOMPARE(RunningTotalsErrors(), 2);
    tabs->setCurrentIndex(2);
    QCOMPARE(RunningTotalsErrors(), 3);
    tabs->setCurrentIndex(0);
    QCOMPARE(RunningTotalsErrors(), 3);
    tabs->setCurrentIndex(3); // the row lies in the whole range
    QCOMPARE(RunningTotalsErrors(), 4);
    Control<QComboBox>(Stats::FromYearId)->setCurrentIndex(19); // from 1999 on: outside
    QTest::mouseClick(Control<QPushButton>(Stats::CalculateId), Qt::LeftButton);
    QCOMPARE(RunningTotalsErrors(), 4);
    QCOMPARE(Answers.Messages.size(), 4);
}

void TestStats::columnsAndWidths() {
    Dialog = Open(MarchRows, Stats::WeeklyTab);
    const int outer = Control<QWidget>(Stats::WeeklyListId)->frameGeometry().width();
    const QList<std::pair<int, QString>> lists{{110, "Week Starting..."}, {129, "Month..."}, {130, "Year..."}};
    for (const auto &[id, first] : lists) {
        const auto *list = Control<QTreeWidget>(id);
        const QTreeWidgetItem *header = list->headerItem();
        QCOMPARE(list->columnCount(), 4);
        QCOMPARE(header->text(0), first);
        QCOMPARE((QStringList{header->text(1), header->text(2), header->text(3)}),
                 (QStringList{"Miles", "Kilometers", "Marathons"}));
        QCOMPARE(list->header()->sectionSize(0), outer / 2 - 20);
        for (int column = 1; column < 4; ++column) {
            QCOMPARE(list->header()->sectionSize(column), outer / 6);
            QVERIFY(header->textAlignment(column) & Qt::AlignRight);
        }
        QVERIFY(!list->header()->sectionsMovable());
        QVERIFY(qobject_cast<TotalsColumnsDelegate *>(list->itemDelegate()));
    }
    // The rows' totals are drawn right-aligned, their period left-aligned.
    struct AlignmentProbe : TotalsColumnsDelegate {
        using TotalsColumnsDelegate::initStyleOption;
    } probe;
    const auto *weeks = Control<QTreeWidget>(110);
    QVERIFY(weeks->topLevelItemCount() > 0);
    for (int column = 0; column < 4; ++column) {
        QStyleOptionViewItem option;
        probe.initStyleOption(&option, weeks->model()->index(0, column));
        QCOMPARE(bool(option.displayAlignment & Qt::AlignRight), column > 0);
    }
    QCOMPARE(Dialog->windowTitle(), "Pacequill Statistics");
    const auto *tabs = Control<QTabBar>(Stats::TabControlId);
    QCOMPARE((QStringList{tabs->tabText(0), tabs->tabText(1), tabs->tabText(2), tabs->tabText(3)}),
             (QStringList{"Weekly", "Monthly", "Yearly", "From/Thru"}));
}

void TestStats::columnBordersCannotBeDragged() {
    Dialog = Open(MarchRows, Stats::WeeklyTab);
    Dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(Dialog.get()));
    QHeaderView *header = Control<QTreeWidget>(Stats::WeeklyListId)->header();
    const int before = header->sectionSize(0);
    const QPoint border(header->sectionViewportPosition(0) + before - 1, header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(header->viewport(), border + QPoint(40, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, border + QPoint(40, 0));
    QCOMPARE(header->sectionSize(0), before);
}

void TestStats::helpButton() {
    Dialog = Open(MarchRows, Stats::WeeklyTab);
    QTest::mouseClick(Control<QPushButton>(Stats::HelpId), Qt::LeftButton);
    QCOMPARE(Help.Requests.size(), 1);
    QCOMPARE(Help.Requests[0].Owner, Dialog.get());
    QCOMPARE(Help.Requests[0].File, "pacequill.hlp>pqhw");
    QCOMPARE(Help.Requests[0].Kind, HelpClient::Command::Context);
    QCOMPARE(Help.Requests[0].Context, 40001u);
}

void TestStats::helpContextsLiveWithTheDialog() {
    const QList<int> ids{1101, 908, 131, 110, 101, 129, 130, 111, 103, 104,
                         105,  112, 106, 107, 108, 113, 114, 115, 116, 117};
    HelpContextRegistry &registry = HelpContextRegistry::Application();
    const qsizetype before = registry.Entries().size();
    for (int opening = 0; opening < 2; ++opening) {
        Dialog = Open(MarchRows, Stats::WeeklyTab);
        QCOMPARE(registry.Entries().size(), before + ids.size());
        for (qsizetype i = 0; i < ids.size(); ++i) {
            const THelpContext &entry = registry.Entries()[before + i];
            QCOMPARE(entry.Control, ids[i]);
            QCOMPARE(entry.HelpContext, quint32(ids[i]));
            QCOMPARE(entry.MenuItem, 0);
            QCOMPARE(entry.Window.data(), Dialog.get());
        }
        const auto found = registry.FindControl(105, Control<QWidget>(105));
        QVERIFY(found && found->Window == Dialog.get());
        Dialog.reset();
        QCOMPARE(registry.Entries().size(), before);
    }
}

void TestStats::impossibleTabsReported_data() {
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("changedTo");
    QTest::addColumn<QString>("text");
    QTest::newRow("opening") << 5 << 0 << "Unknown Tab requested";
    QTest::newRow("tab change") << 1 << 7 << "Can't determine which tab to switch to.";
}

void TestStats::impossibleTabsReported() {
    QFETCH(int, requested);
    QFETCH(int, changedTo);
    QFETCH(QString, text);
    Dialog = Open(MarchRows, requested);
    if (changedTo)
        emit Control<QTabBar>(Stats::TabControlId)->currentChanged(changedTo);
    QCOMPARE(Answers.Messages.size(), 1);
    QCOMPARE(Answers.Messages[0].Text, text);
    QCOMPARE(Answers.Messages[0].Caption, "Error");
    QCOMPARE(Answers.Messages[0].BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(Dialog->IsWeeklyPending(), requested != 1);
    QCOMPARE(Dialog->IsMonthlyPending(), true);
    QCOMPARE(Dialog->IsFirstShowPending(), true);
}

void TestStats::keysPageThroughTabs_data() {
    QTest::addColumn<int>("openedOn");
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<int>("tabAfter");  // its index
    QTest::addColumn<int>("shownList"); // the list the new tab shows; 0 for none

    QTest::newRow("Ctrl+Tab") << 1 << (Qt::CTRL | Qt::Key_Tab) << 1 << 129;
    QTest::newRow("Ctrl+PgDn") << 2 << (Qt::CTRL | Qt::Key_PageDown) << 2 << 130;
    QTest::newRow("Ctrl+PgUp") << 3 << (Qt::CTRL | Qt::Key_PageUp) << 1 << 129;
    QTest::newRow("Ctrl+Tab on the last tab wraps") << 4 << (Qt::CTRL | Qt::Key_Tab) << 0 << 110;
    QTest::newRow("Ctrl+PgUp on the first tab wraps") << 1 << (Qt::CTRL | Qt::Key_PageUp) << 3 << 0;
    QTest::newRow("Ctrl+Shift+Tab") << 2 << (Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << 0 << 110;
}

void TestStats::keysPageThroughTabs() {
    QFETCH(int, openedOn);
    QFETCH(QKeyCombination, key);
    QFETCH(int, tabAfter);
    QFETCH(int, shownList);

    Dialog = Open(MarchRows, openedOn);
    Dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(Dialog.get()));
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : Dialog.get(), key.key(), key.keyboardModifiers());
    QCOMPARE(Control<QTabBar>(Stats::TabControlId)->currentIndex(), tabAfter);
    for (const int list : {110, 129, 130}) {
        QCOMPARE(Control<QTreeWidget>(list)->isVisibleTo(Dialog.get()), list == shownList);
        if (list == shownList)
            QVERIFY(Control<QTreeWidget>(list)->topLevelItemCount() > 0);
    }
}

QTEST_MAIN(TestStats)
#include "tst_TPacequillStats.moc"
