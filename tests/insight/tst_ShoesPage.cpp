#include <QtTest>

#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>

#include "insight/ShoesPage.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"

namespace {

const QStringList Rows = {
    "2024/03/02\t300 Miles\t50:00:00\tlong way @Pegasus #ultra",
    "2024/03/01\t10 Kilometers\t00:50:00\t#race @kinvara then @pegasus",
    "2024/03/09\t250 Miles\t40:00:00\t@pegasus",
    "No Date\t900 Miles\t99:00:00\t@pegasus",
    "2024/03/09\t1 Miles\t00:08:00\tsame day, later row @PEGASUS",
};

// Each shoe row as "name runs distance first last mark".
QStringList Shown(const ShoesPage &page) {
    QStringList lines;
    const QTableWidget *table = page.ShoeTable();
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            cells << table->item(row, column)->text();
        }
        lines << cells.join(QLatin1Char('|'));
    }
    return lines;
}

} // namespace

class TestShoesPage : public QObject {
    Q_OBJECT

private:
    pq::LogList List;

private slots:
    void initTestCase() {
        for (const QString &row : Rows) {
            List.AppendRow(row.toStdString());
        }
    }

    void shoesWithTheirRunsAndMark() {
        ShoesPage page;
        page.Show(List);
        // The run with two shoes counts for both; the undated run counts for neither.
        QCOMPARE(Shown(page), (QStringList{"@kinvara|1|6.21|2024/03/01|2024/03/01|",
                                           "@Pegasus|4|557.21|2024/03/01|2024/03/09|past the limit"}));
        QCOMPARE(page.ShoeTable()->horizontalHeaderItem(2)->text(), QStringLiteral("Miles"));
        QCOMPARE(page.ShoeTable()->horizontalHeaderItem(5)->text(), QStringLiteral("Status"));
    }

    void limitChangedThere_data() {
        QTest::addColumn<bool>("kilometers");
        QTest::addColumn<double>("limit");
        QTest::addColumn<QString>("kinvaraMark");
        QTest::addColumn<QString>("pegasusMark");

        QTest::newRow("above every shoe") << false << 600.0 << ""
                                          << "";
        QTest::newRow("just over the shoe") << false << 557.3 << ""
                                            << "";
        QTest::newRow("just under the shoe") << false << 557.2 << ""
                                             << "past the limit";
        QTest::newRow("exactly a shoe's distance is not past") << true << 10.0 << ""
                                                               << "past the limit";
        QTest::newRow("kilometers, small") << true << 9.9 << "past the limit"
                                           << "past the limit";
    }

    void limitChangedThere() {
        QFETCH(bool, kilometers);
        QFETCH(double, limit);
        QFETCH(QString, kinvaraMark);
        QFETCH(QString, pegasusMark);
        ShoesPage page;
        page.Show(List);
        page.SetKilometers(kilometers);
        page.findChild<QDoubleSpinBox *>()->setValue(limit);
        QCOMPARE(page.ShoeTable()->item(0, 5)->text(), kinvaraMark);
        QCOMPARE(page.ShoeTable()->item(1, 5)->text(), pegasusMark);
    }

    void unitConvertsDistanceAndLimit() {
        ShoesPage page;
        page.Show(List);
        QCOMPARE(page.LimitMiles(), ShoesPage::DefaultLimitMiles);
        page.SetKilometers(true);
        QCOMPARE(page.ShoeTable()->horizontalHeaderItem(2)->text(), QStringLiteral("Kilometers"));
        QCOMPARE(page.ShoeTable()->item(0, 2)->text(), QStringLiteral("10.00"));
        QCOMPARE(page.findChild<QDoubleSpinBox *>()->value(), 804.7);
        QCOMPARE(page.findChild<QDoubleSpinBox *>()->suffix(), QStringLiteral(" km"));
        page.SetKilometers(false);
        QCOMPARE(page.LimitMiles(), ShoesPage::DefaultLimitMiles);
    }

    void doubleClickListsRunsAndSelectsTheLast() {
        ShoesPage page;
        page.Show(List);
        QSignalSpy chosen(&page, &ShoesPage::RunChosen);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QTableWidget *table = page.ShoeTable();
        const QRect pegasus = table->visualItemRect(table->item(1, 0));
        // A real double-click: the first press and release, then the second press as a double-click.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, pegasus.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, pegasus.center());
        // The latest run is the later of the two rows on 2024/03/09.
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 4);
        const QAbstractItemModel *runs = page.RunTable()->model();
        QStringList dates;
        for (int row = 0; row < runs->rowCount(); ++row) {
            dates << runs->index(row, 0).data().toString();
        }
        QCOMPARE(dates, (QStringList{"2024/03/01", "2024/03/02", "2024/03/09", "2024/03/09"}));
        QCOMPARE(page.RunTable()->selectionModel()->selectedRows().value(0).row(), 3);
        QCOMPARE(runs->index(3, 3).data().toString(), QStringLiteral("same day, later row @PEGASUS"));

        // A run of the list selects its row of the log.
        const QRect first = page.RunTable()->visualRect(runs->index(0, 0));
        QTest::mouseClick(page.RunTable()->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseDClick(page.RunTable()->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen.at(1).at(0).toInt(), 1);
    }

    void tagFilterTakesOnlyItsRuns() {
        ShoesPage page;
        const pq::LogList &list = List;
        page.Show(list, [&list](int row) { return pq::HasMark(list.Text(row, pq::NotesColumn), pq::TagSign, "race"); });
        QCOMPARE(Shown(page),
                 (QStringList{"@kinvara|1|6.21|2024/03/01|2024/03/01|", "@pegasus|1|6.21|2024/03/01|2024/03/01|"}));
    }
};

QTEST_MAIN(TestShoesPage)
#include "tst_ShoesPage.moc"
