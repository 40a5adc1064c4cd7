#include <QTest>

#include <string>
#include <vector>

#include "calc/RunArithmetic.h"
#include "insight/CountedRuns.h"
#include "insight/MarkTotals.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"

using namespace pq;

namespace {

LogList MakeLog(const QStringList &rows) {
    LogList list;
    for (const QString &row : rows) {
        list.AppendRow(row.toLatin1().toStdString());
    }
    return list;
}

// One line per mark: name, runs, miles, kilometers, first date, last date, last row.
QStringList Flatten(const std::vector<MarkTotal> &totals) {
    QStringList lines;
    for (const MarkTotal &total : totals) {
        lines << QString::fromLatin1(total.Name) + QStringLiteral(" %1 ").arg(total.Runs) +
                     QString::fromStdString(FormatHundredths(total.Miles) + " " + FormatHundredths(total.Kilometers) +
                                            " " + total.FirstDate + " " + total.LastDate) +
                     QStringLiteral(" %1").arg(total.LastRow);
    }
    return lines;
}

const QStringList Runs = {
    "2024/03/02\t5 Miles\t00:40:00\tTempo #tempo @Pegasus",
    "2024/03/01\t10 Kilometers\t00:50:00\t#Easy @pegasus @Kinvara",
    "No Date\t3 Miles\t00:25:00\t#tempo @pegasus",
    "2024/03/03\t4 Leagues\t00:25:00\t#tempo @pegasus",
    "2024/03/04\tabc Miles\t00:25:00\t#tempo",
    "2024/02/30\t3 Miles\t00:25:00\t#tempo",
    "2024/03/02\t1 Marathons\t03:30:00\t#TEMPO #race @kinvara",
    "2024/03/05\t2 Miles\t00:20:00\tNone",
};

} // namespace

class TestMarkTotals : public QObject {
    Q_OBJECT

private slots:
    void countedRuns_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("distance");
        QTest::addColumn<bool>("counts");
        QTest::addColumn<QString>("miles");

        QTest::newRow("miles") << "2024/03/01"
                               << "6.2 Miles" << true << "6.20";
        QTest::newRow("kilometers") << "2024/03/01"
                                    << "10 Kilometers" << true << "6.21";
        QTest::newRow("marathons") << "2024/03/01"
                                   << "1 Marathons" << true << "26.22";
        QTest::newRow("point first") << "2024/03/01"
                                     << ".5 Miles" << true << "0.50";
        QTest::newRow("zero is a number") << "2024/03/01"
                                          << "0 Miles" << true << "0.00";
        QTest::newRow("no date") << "No Date"
                                 << "6 Miles" << false << "";
        QTest::newRow("empty date") << ""
                                    << "6 Miles" << false << "";
        QTest::newRow("impossible date") << "2023/02/29"
                                         << "6 Miles" << false << "";
        QTest::newRow("year out of range") << "1979/12/31"
                                           << "6 Miles" << false << "";
        QTest::newRow("unknown unit") << "2024/03/01"
                                      << "6 Leagues" << false << "";
        QTest::newRow("no unit") << "2024/03/01"
                                 << "6" << false << "";
        QTest::newRow("no number") << "2024/03/01"
                                   << "six Miles" << false << "";
        QTest::newRow("overflowing number") << "2024/03/01"
                                            << "1e999 Miles" << false << "";
    }

    void countedRuns() {
        QFETCH(QString, date);
        QFETCH(QString, distance);
        QFETCH(bool, counts);
        QFETCH(QString, miles);
        const std::optional<UnitTotals> run = CountedRunDistance(date.toStdString(), distance.toStdString());
        QCOMPARE(run.has_value(), counts);
        if (run) {
            QCOMPARE(QString::fromStdString(FormatHundredths(run->Miles)), miles);
        }
    }

    void tags() {
        const LogList list = MakeLog(Runs);
        // Runs without a real date or a recognised distance are not counted, but their tags are listed.
        QCOMPARE(Flatten(CollectMarkTotals(list, TagSign)),
                 (QStringList{"Easy 1 6.21 10.00 2024/03/01 2024/03/01 1", "race 1 26.22 42.19 2024/03/02 2024/03/02 6",
                              "tempo 2 31.22 50.24 2024/03/02 2024/03/02 6"}));
    }

    void shoes() {
        const LogList list = MakeLog(Runs);
        // The run with two shoes counts for each; the first spelling in list order is shown.
        QCOMPARE(Flatten(CollectMarkTotals(list, ShoeSign)),
                 (QStringList{"Kinvara 2 32.43 52.19 2024/03/01 2024/03/02 6",
                              "Pegasus 2 11.21 18.05 2024/03/01 2024/03/02 0"}));
    }

    void nameOrderIgnoresCase() {
        const LogList list =
            MakeLog({"2024/01/01\t1 Miles\t00:08:00\t#beta #Alpha #gamma", "2024/01/02\t1 Miles\t00:08:00\t#ALPHA"});
        QStringList names;
        for (const MarkTotal &total : CollectMarkTotals(list, TagSign)) {
            names << QString::fromStdString(total.Name);
        }
        QCOMPARE(names, (QStringList{"Alpha", "beta", "gamma"}));
    }

    void shoesOfOneTag() {
        const LogList list = MakeLog(Runs);
        // Only the rows tagged #race are read: one run in Kinvara, none in Pegasus, whose name is then not seen.
        QCOMPARE(Flatten(CollectMarkTotals(list, ShoeSign, MarkFilter(list, TagSign, "RACE"))),
                 QStringList{"kinvara 1 26.22 42.19 2024/03/02 2024/03/02 6"});
        QCOMPARE(Flatten(CollectMarkTotals(list, TagSign, MarkFilter(list, ShoeSign, "nothing"))), QStringList{});
    }

    void markNames() {
        const LogList list = MakeLog(Runs);
        // Names come from every row, counted or not, in their first spelling.
        QCOMPARE(MarkNames(list, TagSign), (std::vector<std::string>{"Easy", "race", "tempo"}));
        QCOMPARE(MarkNames(list, ShoeSign), (std::vector<std::string>{"Kinvara", "Pegasus"}));
        QCOMPARE(MarkNames(LogList(), TagSign), std::vector<std::string>{});
    }

    void markedRows() {
        const LogList list = MakeLog(Runs);
        QCOMPARE(MarkedRows(list, TagSign, "tempo"), (std::vector<int>{0, 2, 3, 4, 5, 6}));
        QCOMPARE(MarkedRows(list, ShoeSign, "KINVARA"), (std::vector<int>{1, 6}));
        QCOMPARE(MarkedRows(list, TagSign, "none"), std::vector<int>{});
        const LogList selected = SelectRows(list, {6, 1});
        QCOMPARE(selected.RowCount(), 2);
        QCOMPARE(selected.ReadEntry(0), list.ReadEntry(6));
        QCOMPARE(selected.ReadEntry(1), list.ReadEntry(1));
    }
};

QTEST_APPLESS_MAIN(TestMarkTotals)
#include "tst_MarkTotals.moc"
