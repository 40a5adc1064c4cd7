#include <QTest>

#include "cli/RecordRows.h"

using namespace pq;
using namespace pq::cli;

// The race rows of a file read in parts are numbered as the whole file numbers them.
class tst_RecordRows : public QObject {
    Q_OBJECT

private slots:
    void raceRowsAcrossParts() {
        RecordRows first;
        first.TakeRow("2024/01/01\t5 Kilometers\t00:20:00\t#race");
        first.TakeRow("2024/01/02\t5 Kilometers\t00:19:00\tno race");
        RecordRows later;
        later.TakeRow("2024/01/03\t5 Kilometers\t00:21:00\tclub #Race");
        later.TakeRow("2024/01/04\t5 Kilometers\t00:22:00\t#races");
        first.Append(later);
        const RowFilter isRace = first.RaceFilter();
        QCOMPARE(QList<bool>({isRace(0), isRace(1), isRace(2), isRace(3)}), QList<bool>({true, false, true, false}));
        QCOMPARE(first.Runs().Finish().size(), std::size_t(4));
    }
};

QTEST_APPLESS_MAIN(tst_RecordRows)
#include "tst_RecordRows.moc"
