#include <QTest>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "log/WorkThreads.h"

using namespace pq;

class TestWorkThreads : public QObject {
    Q_OBJECT

private slots:
    void chunksCoverEveryItemOnce_data() {
        QTest::addColumn<int>("threads");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("chunk");
        QTest::newRow("one thread") << 1 << 100 << 7;
        QTest::newRow("chunk divides the count") << 3 << 96 << 8;
        QTest::newRow("last chunk short") << 4 << 101 << 10;
        QTest::newRow("fewer items than threads") << 8 << 3 << 5;
        QTest::newRow("nothing to do") << 2 << 0 << 4;
    }
    void chunksCoverEveryItemOnce() {
        QFETCH(int, threads);
        QFETCH(int, count);
        QFETCH(int, chunk);
        std::vector<std::atomic<int>> visits(static_cast<std::size_t>(count));
        std::atomic<bool> threadInRange = true;
        RunInChunks(static_cast<std::size_t>(threads), count, chunk, [&](std::size_t thread, int first, int end) {
            if (thread >= static_cast<std::size_t>(threads) || end - first > chunk)
                threadInRange = false;
            for (int item = first; item < end; ++item)
                ++visits[static_cast<std::size_t>(item)];
        });
        QVERIFY(threadInRange);
        for (const std::atomic<int> &visited : visits)
            QCOMPARE(visited.load(), 1);
    }

    // Every part runs to its end even when another fails, and the failure of the lowest part comes back.
    void failureComesBackAfterEveryPart() {
        std::atomic<int> finished = 0;
        try {
            RunInParts(4, [&](std::size_t part) {
                ++finished;
                if (part == 2 || part == 3)
                    throw std::runtime_error("part " + std::to_string(part));
            });
            QFAIL("the failure was lost");
        } catch (const std::runtime_error &error) {
            QCOMPARE(std::string(error.what()), std::string("part 2"));
        }
        QCOMPARE(finished.load(), 4);
    }
};

QTEST_APPLESS_MAIN(TestWorkThreads)
#include "tst_WorkThreads.moc"
