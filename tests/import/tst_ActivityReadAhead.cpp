#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <string>
#include <vector>

#include <sys/stat.h>

#include "ActivityTemplates.h"
#include "import/ActivityReadAhead.h"

namespace {

constexpr std::int64_t Start = 1764572400; // 2025-12-01T07:00:00Z
constexpr int Files = 40;

// What matters of a file's reading, as text: the format, the activities' starts and names, or the error.
std::string Summary(const pq::FileActivities &read) {
    std::string text(pq::FormatName(read.Format));
    if (read.Error) {
        return text.append(" error ").append(read.Error->Text());
    }
    for (const pq::Activity &activity : read.Activities) {
        text.append(" ").append(std::to_string(activity.Start.value_or(0))).append(" ").append(activity.Name);
    }
    return text;
}

} // namespace

// Files read ahead on worker threads come back in the order of their paths, each as ReadActivityFile reads it,
// whatever the number of threads; a batch left before its end stops without reading the rest.
class tst_ActivityReadAhead : public QObject {
    Q_OBJECT

private:
    QTemporaryDir Temp;
    std::vector<pq::ActivityInput> Paths;

private slots:
    void initTestCase() {
        QVERIFY(Temp.isValid());
        for (int i = 0; i < Files; ++i) {
            const std::string path = Temp.filePath(QString("file-%1").arg(i)).toStdString();
            QFile file(QString::fromStdString(path));
            QVERIFY(file.open(QIODevice::WriteOnly));
            const std::int64_t start = Start + std::int64_t{i} * 86400;
            // Runs of different lengths, so that the workers finish out of order; every seventh file broken.
            const std::string gpx = ActivityTemplates::Gpx({ActivityTemplates::GpxTrack(
                "Run " + std::to_string(i), "", {ActivityTemplates::SteadyRun(start, 60 + (i * 37) % 500)})});
            const std::string bytes = i % 7 == 3 ? gpx.substr(0, gpx.size() / 2) : gpx;
            file.write(bytes.data(), qint64(bytes.size()));
            Paths.push_back(path);
        }
        Paths.push_back(Temp.filePath("missing.gpx").toStdString());
        const std::string fifo = Temp.filePath("pipe.gpx").toStdString();
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        Paths.push_back(fifo);
    }

    void inOrderWhateverTheThreads_data() {
        QTest::addColumn<int>("threads");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("more than files ahead") << 7;
    }
    void inOrderWhateverTheThreads() {
        QFETCH(int, threads);
        pq::ActivityReadAhead reads(Paths, static_cast<std::size_t>(threads));
        QCOMPARE(reads.Size(), Paths.size());
        for (std::size_t i = 0; i < Paths.size(); ++i) {
            QCOMPARE(reads.Path(i), Paths[i].Path);
            QCOMPARE(Summary(reads.TakeNext()), Summary(pq::ReadActivityFile(Paths[i].Path)));
        }
    }

    void leftBeforeItsEnd() {
        pq::ActivityReadAhead reads(Paths, 2);
        QVERIFY(!reads.TakeNext().Error);
    }

    void noFiles() {
        const pq::ActivityReadAhead reads({}, 2);
        QCOMPARE(reads.Size(), std::size_t{0});
    }
};

QTEST_APPLESS_MAIN(tst_ActivityReadAhead)
#include "tst_ActivityReadAhead.moc"
