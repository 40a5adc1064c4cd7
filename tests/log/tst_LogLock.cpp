#include <QtTest>

#include <chrono>

#include "log/LogFile.h"
#include "log/LogLock.h"

using namespace pq;
using namespace std::chrono_literals;

class tst_LogLock : public QObject {
    Q_OBJECT

private slots:
    // The lock is the folder's, so a save that renames a new file over the log, or a link to the log from
    // elsewhere, meets the same lock; a second holder waits, and gets it once the first lets go.
    void oneHolderAtATime() {
        QTemporaryDir dir;
        QTemporaryDir other;
        const std::string log = dir.filePath("runs.pquil").toStdString();
        const std::string link = other.filePath("link.pquil").toStdString();
        QVERIFY(QFile::link(QString::fromStdString(log), QString::fromStdString(link)));
        {
            LogLock first(log);
            QVERIFY(first.Acquire());
            QVERIFY(WriteLog(LogList(), log).Ok);
            LogLock second(link);
            QVERIFY(!second.Acquire(50ms));
            QVERIFY(second.Error().starts_with(link + ": another program kept the log locked"));
            QVERIFY(second.Error().ends_with("nothing was written"));
        }
        LogLock third(link);
        QVERIFY(third.Acquire(0ms));
        QVERIFY(third.Acquire(0ms)); // held already
    }

    // A folder that takes no new files still locks: the lock leaves nothing behind in it.
    void readOnlyFolder() {
        QTemporaryDir dir;
        const QString path = dir.filePath("runs.pquil");
        QVERIFY(WriteLog(LogList(), path.toStdString()).Ok);
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        {
            LogLock lock(path.toStdString());
            QVERIFY(lock.Acquire(0ms));
        }
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList{"runs.pquil"});
    }
};

QTEST_APPLESS_MAIN(tst_LogLock)
#include "tst_LogLock.moc"
