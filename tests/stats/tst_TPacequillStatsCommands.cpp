#include <QApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "frame/CommandIds.h"
#include "log/LogList.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "stats/TPacequillStats.h"

namespace {

const QString ThreeRunsPath = QStringLiteral(PACEQUILL_TEST_DATA "/client/ThreeRuns.pquil");

// What the dialog showed while it was open.
struct Seen {
    QWidget *Parent = nullptr;
    int Tab = -1;
    QStringList Weekly;
    QStringList Yearly;
    QString Miles;
};

QStringList Rows(const QTreeWidget *list) {
    QStringList rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        rows.append(QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join('|'));
    }
    return rows;
}

// Runs the command; the dialog it opens modally is read and closed from inside its loop.
Seen RunCommand(TPacequillDlgClient &client, int command) {
    Seen seen;
    QTimer::singleShot(0, [&seen] {
        auto *stats = qobject_cast<TPacequillStats *>(QApplication::activeModalWidget());
        if (!stats)
            return;
        seen.Parent = stats->parentWidget();
        seen.Tab = stats->findChild<QTabBar *>("1101")->currentIndex();
        seen.Weekly = Rows(stats->findChild<QTreeWidget *>("110"));
        seen.Yearly = Rows(stats->findChild<QTreeWidget *>("130"));
        seen.Miles = stats->findChild<QLineEdit *>("114")->text();
        stats->reject();
    });
    client.Handle(command);
    return seen;
}

} // namespace

class TestStatsCommands : public QObject {
    Q_OBJECT

private slots:
    void opensOnItsTab_data();
    void opensOnItsTab();
    void emptyLogOpensToo();
    void logReadAgainWhileOpen();
};

void TestStatsCommands::opensOnItsTab_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("weekly");
    QTest::addColumn<QStringList>("yearly");
    QTest::addColumn<QString>("miles");

    const QStringList week{"April 30, 2001|14.21|22.87|0.54"};
    QTest::newRow("weekly") << Cmd::StatsWeekly << 0 << week << QStringList{} << "";
    QTest::newRow("monthly") << Cmd::StatsMonthly << 1 << QStringList{} << QStringList{} << "";
    QTest::newRow("yearly") << Cmd::StatsYearly << 2 << QStringList{} << QStringList{"2001|14.21|22.87|0.54"} << "";
    QTest::newRow("from/thru") << Cmd::StatsFromThru << 3 << QStringList{} << QStringList{} << "14.21";
}

void TestStatsCommands::opensOnItsTab() {
    QFETCH(int, command);
    QFETCH(int, tab);
    QFETCH(QStringList, weekly);
    QFETCH(QStringList, yearly);
    QFETCH(QString, miles);

    TPacequillDlgClient client;

    AttachFeatureModules(client);
    client.SetupWindow(ThreeRunsPath);
    client.SortByColumn(2); // the display order does not change the totals
    const Seen seen = RunCommand(client, command);
    QCOMPARE(seen.Parent, &client);
    QCOMPARE(seen.Tab, tab);
    QCOMPARE(seen.Weekly, weekly);
    QCOMPARE(seen.Yearly, yearly);
    QCOMPARE(seen.Miles, miles);
    // One dialog per command, gone when it closes; the log is only read.
    QVERIFY(!client.findChild<TPacequillStats *>());
    QVERIFY(!client.GetChanged());
}

void TestStatsCommands::emptyLogOpensToo() {
    TPacequillDlgClient client;
    AttachFeatureModules(client);
    client.SetupWindow(QString());
    QCOMPARE(RunCommand(client, Cmd::StatsFromThru).Miles, "0.00");
    QCOMPARE(RunCommand(client, Cmd::StatsWeekly).Weekly, QStringList{});
}

// The log read again while the dialog is open (another program changed the file): a tab shown afterwards adds up
// the rows as they are now.
void TestStatsCommands::logReadAgainWhileOpen() {
    TPacequillDlgClient client;
    AttachFeatureModules(client);
    client.SetupWindow(ThreeRunsPath);
    QStringList yearly;
    QTimer::singleShot(0, [&client, &yearly] {
        auto *stats = qobject_cast<TPacequillStats *>(QApplication::activeModalWidget());
        if (!stats)
            return;
        pq::LogList now;
        now.AppendRow("1999/01/05\t2 Miles\t00:16:00\tNone");
        client.Rows().ReplaceRows(std::move(now));
        stats->findChild<QTabBar *>("1101")->setCurrentIndex(2);
        yearly = Rows(stats->findChild<QTreeWidget *>("130"));
        stats->reject();
    });
    client.Handle(Cmd::StatsWeekly);
    QCOMPARE(yearly, QStringList{"1999|2.00|3.22|0.08"});
}

QTEST_MAIN(TestStatsCommands)
#include "tst_TPacequillStatsCommands.moc"
