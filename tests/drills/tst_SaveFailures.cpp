#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include "DrillPrograms.h"
#include "frame/CommandIds.h"
#include "frame/Prompts.h"
#include "log/LogFile.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "support/FileBytes.h"
#include "support/ScriptedPrompts.h"

namespace {

const QString OldLogPath = QStringLiteral(PACEQUILL_TEST_DATA "/client/ThreeRuns.pquil");
const QString LogName = QStringLiteral("Runs.pquil");
const QString NewName = QStringLiteral("New Runs.pquil");
const QString FillerName = QStringLiteral("filler");
const QString SaveFailedCaption = QStringLiteral("Save failed");
constexpr char TmpfsOptions[] = "size=1m";
constexpr std::size_t FillStep = std::size_t{64} << 10;
constexpr int OldRows = 3;
constexpr int PquilFailure = 1;
constexpr int ProcessWaitMs = 30000;

QStringList Listing(const QString &dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QString Cause(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes to the file until the file system has no room left.
bool FillUp(const QString &path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const QByteArray block(FillStep, 'x');
    bool full = false;
    for (;;) {
        const ssize_t written = ::write(fd, block.constData(), static_cast<std::size_t>(block.size()));
        if (written < 0) {
            full = errno == ENOSPC;
            break;
        }
    }
    ::close(fd);
    return full;
}

} // namespace

// Saving to a full file system and to a read-only one, through the document client and through pquil convert.
// Each case mounts a 1 MiB tmpfs holding a log; that needs the right to mount (root in CI), else the case skips.
class tst_SaveFailures : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void clientSaveFails_data();
    void clientSaveFails();
    void convertFails_data();
    void convertFails();

private:
    // Mounts the tmpfs with the old log on it, then fills it up or makes it read-only; empty, or why not.
    QString PrepareVolume(bool readOnly);
    bool MakeWritable();
    QString VolumePath(const QString &name) const { return Volume + '/' + name; }

    std::unique_ptr<ScriptedPrompts> Recorded;
    std::unique_ptr<QTemporaryDir> Temp;
    std::unique_ptr<QMainWindow> Frame;
    QString Volume;
    bool Mounted = false;
    QString NamespaceNote;
};

void tst_SaveFailures::initTestCase() {
    // A mount namespace of its own keeps the test's mounts from everyone else and takes them away if the test
    // dies; without one the mounts are still removed in cleanup.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        NamespaceNote = QStringLiteral(" (no private mount namespace: %1)").arg(Cause(errno));
}

void tst_SaveFailures::init() {
    Recorded = std::make_unique<ScriptedPrompts>();
    Prompts::Install(Recorded.get());
    Temp = std::make_unique<QTemporaryDir>();
    QVERIFY(Temp->isValid());
    Volume = Temp->filePath(QStringLiteral("volume"));
    QVERIFY(QDir().mkpath(Volume));
}

void tst_SaveFailures::cleanup() {
    Frame.reset();
    Prompts::Install(nullptr);
    Recorded.reset();
    if (Mounted) {
        ::umount2(QFile::encodeName(Volume).constData(), MNT_DETACH);
        Mounted = false;
    }
    Temp.reset();
}

QString tst_SaveFailures::PrepareVolume(bool readOnly) {
    const QByteArray mountPoint = QFile::encodeName(Volume);
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_NOSUID | MS_NODEV, TmpfsOptions) != 0)
        return QStringLiteral("cannot mount a tmpfs: %1%2").arg(Cause(errno), NamespaceNote);
    Mounted = true;
    if (!QFile::copy(OldLogPath, VolumePath(LogName)))
        return QStringLiteral("cannot copy the old log");
    if (readOnly) {
        if (::mount(nullptr, mountPoint.constData(), nullptr, MS_REMOUNT | MS_RDONLY, TmpfsOptions) != 0)
            return QStringLiteral("cannot remount the tmpfs read-only: %1").arg(Cause(errno));
    } else if (!FillUp(VolumePath(FillerName))) {
        return QStringLiteral("cannot fill the tmpfs");
    }
    return {};
}

bool tst_SaveFailures::MakeWritable() {
    QFile::remove(VolumePath(FillerName));
    return ::mount(nullptr, QFile::encodeName(Volume).constData(), nullptr, MS_REMOUNT, TmpfsOptions) == 0;
}

void tst_SaveFailures::clientSaveFails_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("saveAs");

    QTest::newRow("full, Save over the log") << false << false;
    QTest::newRow("full, Save As a new file") << false << true;
    QTest::newRow("read-only, Save over the log") << true << false;
    QTest::newRow("read-only, Save As a new file") << true << true;
}

// The save fails with a message naming the path and the cause; the old file keeps its bytes, nothing else is
// left on the volume, and the log stays changed under its old name. Once there is room, Save writes it all.
void tst_SaveFailures::clientSaveFails() {
    QFETCH(bool, readOnly);
    QFETCH(bool, saveAs);
    if (const QString why = PrepareVolume(readOnly); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QByteArray oldBytes = FileBytes(OldLogPath);
    const QStringList volumeBefore = Listing(Volume);
    const QString logPath = VolumePath(LogName);
    const QString target = saveAs ? VolumePath(NewName) : logPath;

    Frame = std::make_unique<QMainWindow>();
    auto *client = NewDocumentClient();
    Frame->setCentralWidget(client);
    client->SetupWindow(logPath);
    QCOMPARE(client->List().RowCount(), OldRows);
    const QString caption = Frame->windowTitle();
    client->Rows().AppendRow("2001/06/01\t4 Miles\t00:32:00\tHills");
    client->SetChanged(true);

    if (saveAs)
        Recorded->SaveAnswers << target;
    client->Handle(saveAs ? Cmd::FileSaveAs : Cmd::FileSave);

    QCOMPARE(Recorded->Messages.size(), 1);
    const Prompts::MessageSpec &failure = Recorded->Messages.constFirst();
    QCOMPARE(failure.Caption, SaveFailedCaption);
    QVERIFY2(failure.Text.contains(target), qPrintable(failure.Text));
    QVERIFY2(failure.Text.contains(Cause(readOnly ? EROFS : ENOSPC)), qPrintable(failure.Text));
    QCOMPARE(FileBytes(logPath), oldBytes);
    QCOMPARE(Listing(Volume), volumeBefore);
    QVERIFY(client->GetChanged());
    QVERIFY(!client->GetUntitled());
    QCOMPARE(client->GetFilePath(), logPath);
    QCOMPARE(Frame->windowTitle(), caption);
    QCOMPARE(client->List().RowCount(), OldRows + 1);

    QVERIFY(MakeWritable());
    if (saveAs)
        Recorded->SaveAnswers << target;
    client->Handle(saveAs ? Cmd::FileSaveAs : Cmd::FileSave);
    QCOMPARE(Recorded->Messages.size(), 1);
    QVERIFY(!client->GetChanged());
    QCOMPARE(FileBytes(target).toStdString(), pq::LogBytes(client->List()));
}

void tst_SaveFailures::convertFails_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("force");

    QTest::newRow("full, new file") << false << false;
    QTest::newRow("full, --force over the log") << false << true;
    QTest::newRow("read-only, new file") << true << false;
    QTest::newRow("read-only, --force over the log") << true << true;
}

// pquil convert names the output and the cause, exits with its failure code and leaves the volume as it was.
void tst_SaveFailures::convertFails() {
    if (PquilBinary.empty())
        QSKIP("pquil is not built in this configuration");
    QFETCH(bool, readOnly);
    QFETCH(bool, force);
    if (const QString why = PrepareVolume(readOnly); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QByteArray oldBytes = FileBytes(VolumePath(LogName));
    const QStringList volumeBefore = Listing(Volume);
    const QString output = force ? VolumePath(LogName) : VolumePath(NewName);

    QProcess pquil;
    QStringList arguments{QStringLiteral("convert"), OldLogPath, output};
    if (force)
        arguments << QStringLiteral("--force");
    pquil.start(QString::fromUtf8(PquilBinary.data(), static_cast<qsizetype>(PquilBinary.size())), arguments);
    QVERIFY(pquil.waitForFinished(ProcessWaitMs));
    const QString errors = QString::fromLocal8Bit(pquil.readAllStandardError());

    QCOMPARE(pquil.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pquil.exitCode(), PquilFailure);
    QVERIFY2(errors.startsWith(QStringLiteral("pquil: ") + output + QStringLiteral(": ")), qPrintable(errors));
    QVERIFY2(errors.contains(Cause(readOnly ? EROFS : ENOSPC)), qPrintable(errors));
    QVERIFY(pquil.readAllStandardOutput().isEmpty());
    QCOMPARE(FileBytes(VolumePath(LogName)), oldBytes);
    QCOMPARE(Listing(Volume), volumeBefore);
}

QTEST_MAIN(tst_SaveFailures)
#include "tst_SaveFailures.moc"
