#include <QDir>
#include <QFile>
#include <QtTest>

#include <ctime>

#include "import/ActivityEntry.h"
#include "import/ActivityFiles.h"
#include "import/ActivityInputs.h"
#include "import/ImportReview.h"
#include "log/CodePage1252.h"
#include "log/LogList.h"

namespace {

const QString CasesFolder = QStringLiteral(PACEQUILL_TEST_DATA "/import");
const QString ExpectedName = QStringLiteral("expected.txt");

// What an import review makes of a case's files, one line each: every activity with its tick, its row (the
// moving time in its Time), its elapsed time and its remark, then every file that could not be read with the place
// and the reason.
QString Review(const QDir &folder) {
    const pq::LogList log;
    pq::ImportReview review(log);
    // The folder is imported as a whole, as pquil and the window take one: expected.txt is no activity file.
    std::vector<pq::ReadError> unlisted;
    const std::vector<pq::ActivityInput> inputs =
        pq::ExpandActivityInputs({QFile::encodeName(folder.path()).toStdString()}, unlisted);
    for (pq::ReadError &error : unlisted) {
        review.AddUnreadable(std::move(error));
    }
    for (const pq::ActivityInput &input : inputs) {
        review.AddRead(input.Name(), pq::ReadActivityInput(input));
    }
    const auto local = [&folder](const std::string &path) {
        return folder.relativeFilePath(QFile::decodeName(QByteArray::fromStdString(path)));
    };
    QString text;
    const std::vector<pq::ImportReview::Candidate> &candidates = review.Candidates();
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const pq::ImportReview::Candidate &candidate = candidates[i];
        const pq::LogEntry &entry = candidate.Entry;
        text += QString(review.TickedAtFirst(i) ? "[x] " : "[ ] ") + local(candidate.File) + ": " +
                QString::fromStdU16String(pq::Decode1252(pq::LogList::JoinEntry(entry))).replace('\t', " | ");
        if (!candidate.FromCsv) {
            text += " | elapsed " + QString::fromStdString(pq::MovingTimeText(candidate.Found.ElapsedSeconds));
        }
        if (!candidate.Remark.empty()) {
            text += " -- " + QString::fromStdString(candidate.Remark);
        }
        if (candidate.Duplicate) {
            text += " -- a duplicate";
        }
        text += '\n';
    }
    for (const pq::ReadError &error : review.Unreadable()) {
        pq::ReadError shown = error;
        shown.File = local(error.File).toStdString();
        text += "unreadable: " + QString::fromStdString(shown.Text()) + '\n';
    }
    return text;
}

} // namespace

// Device files as they come, one folder a case under tests/data/import: the input files and expected.txt, what
// the review makes of them. A new device file is a new folder.
class tst_ImportCases : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qputenv("TZ", "UTC");
        tzset();
    }

    void review_data() {
        QTest::addColumn<QString>("folder");
        const QDir cases(CasesFolder);
        for (const QString &name : cases.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            QTest::newRow(name.toUtf8().constData()) << cases.filePath(name);
        }
    }

    void review() {
        QFETCH(QString, folder);
        QFile expected(QDir(folder).filePath(ExpectedName));
        // PACEQUILL_BLESS=1 writes what the review makes as the expected text of a new case, to be read over.
        if (qEnvironmentVariableIsSet("PACEQUILL_BLESS") && expected.open(QIODevice::WriteOnly)) {
            expected.write(Review(QDir(folder)).toUtf8());
            expected.close();
        }
        QVERIFY2(expected.open(QIODevice::ReadOnly), qPrintable(expected.fileName()));
        QCOMPARE(Review(QDir(folder)), QString::fromUtf8(expected.readAll()));
    }
};

QTEST_APPLESS_MAIN(tst_ImportCases)
#include "tst_ImportCases.moc"
