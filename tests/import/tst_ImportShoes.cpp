#include <QtTest>

#include "import/ImportReview.h"
#include "import/ImportShoeCheck.h"
#include "insight/LogProfile.h"
#include "insight/ShoeRegistry.h"
#include "log/LogList.h"

namespace {

const pq::ProfileDistance UsualLimit{pq::DefaultShoeLimitMiles, pq::DistanceUnit::Miles};

pq::LogList Rows(const QStringList &rows) {
    pq::LogList list;
    for (const QString &row : rows)
        list.AppendRow(row.toStdString());
    return list;
}

std::vector<pq::LogEntry> Entries(const QStringList &rows) {
    const pq::LogList list = Rows(rows);
    std::vector<pq::LogEntry> entries;
    entries.reserve(static_cast<std::size_t>(list.RowCount()));
    for (int row = 0; row < list.RowCount(); ++row)
        entries.push_back({std::string(list.Text(row, pq::DateColumn)), std::string(list.Text(row, pq::DistanceColumn)),
                           std::string(list.Text(row, pq::TimeColumn)), std::string(list.Text(row, pq::NotesColumn))});
    return entries;
}

} // namespace

// The shoes of the window's import: the default shoe on activities' rows only, and the shoes the rows would take
// over their limits, each judged with its distance in the log (its start included) before the import.
class TestImportShoes : public QObject {
    Q_OBJECT

private slots:
    void takenOverTheirLimits_data() {
        QTest::addColumn<QStringList>("imported");
        QTest::addColumn<QStringList>("said");

        const QString day = QStringLiteral("2024/03/01\t");
        QTest::newRow("within the usual limit") << QStringList{day + "4 Miles\t00:30:00\t@pegasus"} << QStringList();
        QTest::newRow("past the usual limit, runs added up")
            << QStringList{day + "4 Miles\t00:30:00\t@pegasus", day + "2 Miles\t00:15:00\t@Pegasus"}
            << QStringList{"@Pegasus is now over its limit: 501.00 of 500.00 Miles"};
        QTest::newRow("own limit in km, with a start")
            << QStringList{day + "6 Kilometers\t00:30:00\t@kinvara"}
            << QStringList{"@Kinvara is now over its limit: 801.00 of 800.00 Kilometers"};
        QTest::newRow("already over, and retired")
            << QStringList{day + "9 Miles\t01:00:00\t@Old @Worn"} << QStringList();
        QTest::newRow("a shoe new to the log") << QStringList{day + "501 Miles\t99:00:00\t@Ghost"}
                                               << QStringList{"@Ghost is now over its limit: 501.00 of 500.00 Miles"};
    }

    void takenOverTheirLimits() {
        QFETCH(QStringList, imported);
        QFETCH(QStringList, said);
        const pq::LogList log =
            Rows({"2024/01/01\t495 Miles\t70:00:00\t@Pegasus", "2024/01/02\t5 Kilometers\t00:25:00\t@Kinvara",
                  "2024/01/03\t600 Miles\t90:00:00\t@Worn @Old"});
        const pq::LogProfile profile = pq::ParseProfile("shoe @kinvara limit 800 km start 790 km default\n"
                                                        "shoe @Old retired 2024/02/01\n");
        const ImportShoeCheck shoes(log, profile, UsualLimit);
        QCOMPARE(QString::fromStdString(shoes.DefaultShoe()), QStringLiteral("kinvara"));
        QCOMPARE(shoes.TakenOver(Entries(imported)), said);
    }

    void defaultShoeOnActivitiesOnly() {
        const pq::LogList log;
        pq::ImportReview review(log);
        review.SetActivityNotes([](std::string &notes) { pq::AddDefaultShoe(notes, "Kinvara"); });
        pq::Activity run;
        run.Start = 1709280000;
        run.DistanceMeters = 5000;
        run.MovingSeconds = run.ElapsedSeconds = 1500;
        run.Running = true;
        run.Name = "Morning run";
        review.AddFile("run.gpx", {pq::FileFormat::Gpx, {run}, std::nullopt, true});
        review.AddCsvRows("runs.csv", Entries({"2024/03/02\t3 Miles\t00:25:00\tmy own"}));
        review.SetUnit(pq::DistanceUnit::Kilometers);
        QCOMPARE(review.Candidates()[0].Entry.Notes, std::string("Morning run @Kinvara"));
        QCOMPARE(review.Candidates()[1].Entry.Notes, std::string("my own"));
    }
};

QTEST_MAIN(TestImportShoes)
#include "tst_ImportShoes.moc"
