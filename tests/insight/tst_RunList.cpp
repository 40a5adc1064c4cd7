#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include "DescribedRuns.h"
#include "insight/CountedRuns.h"
#include "insight/RunList.h"

using namespace pq;

namespace {

const std::vector<CountedRun> HandBuilt = {
    {4, 100, 3.1, 4.9889, 1500}, {2, 100, 0.1, 0.16093, 0}, {0, 103, 26.2, 42.16, 12600.5}};

} // namespace

class TestRunList : public QObject {
    Q_OBJECT

private slots:
    // Runs made from runs built one by one are read back as they were, walked, indexed or searched.
    void runsBuiltByHandReadBack() {
        const RunList runs(HandBuilt);
        QCOMPARE(DescribedRuns(runs), DescribedRuns(RunList(std::vector<CountedRun>(HandBuilt))));
        QCOMPARE(runs.size(), HandBuilt.size());
        for (std::size_t i = 0; i < HandBuilt.size(); ++i) {
            const CountedRun run = runs.begin()[static_cast<std::ptrdiff_t>(i)];
            QCOMPARE(DescribedRuns(RunList({runs[i]})), DescribedRuns(RunList({HandBuilt[i]})));
            QCOMPARE(run.Seconds, HandBuilt[i].Seconds);
        }
        QCOMPARE(runs.back().Row, 0);
        QCOMPARE(runs.end() - runs.begin(), 3);
        QCOMPARE((runs.begin() + 1)->Miles, 0.1);
        QCOMPARE(FirstRunFrom(runs, 101) - runs.begin(), 2);
        QCOMPARE(FirstRunFrom(runs, 100) - runs.begin(), 0);
    }

    // An inserted run goes before the one at its place; rows are moved on from a row, and back.
    void editsKeepTheOtherRuns() {
        RunList runs(HandBuilt);
        std::vector<CountedRun> expected = HandBuilt;
        const CountedRun added{7, 101, 6.2, 9.97, 2999.25};
        runs.Insert(runs.begin() + 2, added);
        expected.insert(expected.begin() + 2, added);
        runs.Erase(runs.begin());
        expected.erase(expected.begin());
        runs.MoveRows(2, 3);
        for (CountedRun &run : expected) {
            run.Row += run.Row >= 2 ? 3 : 0;
        }
        QCOMPARE(DescribedRuns(runs), DescribedRuns(expected));
        runs.MoveRows(5, -3);
        for (CountedRun &run : expected) {
            run.Row -= run.Row >= 5 ? 3 : 0;
        }
        QCOMPARE(DescribedRuns(runs), DescribedRuns(expected));
    }

    // A row with a tab inside its Distance text counts the distance its composed key gives, kept apart from the
    // same text's reading in a row without one; the counter still gives each row's own texts.
    void tabbedRowsKeepTheirOwnDistance() {
        const std::vector<RunTexts> rows = {{"2024/03/05", "5 Miles\t2", "0:20:00"},
                                            {"2024/03/04", "5 Miles\t2", "0:21:00"},
                                            {"2024/03/05", "5 Miles", "0:20:00"},
                                            {"2024/03/04\t3 Miles", "junk", "0:10:00"},
                                            {"2024/03/04", "junk", "0:10:00"}};
        RunCounter counter;
        std::vector<CountedRun> expected;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const RunTexts &texts = rows[row];
            counter.AddRow(static_cast<int>(row), texts.Date, texts.Distance, texts.Time);
            if (const std::optional<CountedRun> run =
                    CountedRunOf(static_cast<int>(row), texts.Date, texts.Distance, texts.Time)) {
                expected.push_back(*run);
            }
        }
        const RunList runs = counter.Finish();
        QCOMPARE(runs.size(), std::size_t(4));
        QCOMPARE(runs.size(), expected.size());
        for (const CountedRun &run : runs) {
            const auto same = std::find_if(expected.begin(), expected.end(),
                                           [&run](const CountedRun &each) { return each.Row == run.Row; });
            QVERIFY(same != expected.end());
            QCOMPARE(DescribedRuns(RunList({run})), DescribedRuns(RunList({*same})));
            const RunTexts texts = counter.Texts(runs, run.Row);
            const RunTexts &own = rows[static_cast<std::size_t>(run.Row)];
            QCOMPARE(texts.Date, own.Date);
            QCOMPARE(texts.Distance, own.Distance);
            QCOMPARE(texts.Time, own.Time);
        }
    }
};

QTEST_APPLESS_MAIN(TestRunList)
#include "tst_RunList.moc"
