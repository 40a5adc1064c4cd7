#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "log/PathBytes.h"

// Paths are bytes: they must survive being held as text, and a name that a file dialog or a dropped URL has
// decoded lossily must lead back to the file it came from.
class tst_PathBytes : public QObject {
    Q_OBJECT

private slots:
    void init();
    void bytesSurviveText_data();
    void bytesSurviveText();
    void dialogNamesLeadBackToTheirFiles_data();
    void dialogNamesLeadBackToTheirFiles();
    void urlsKeepTheirEscapedBytes_data();
    void urlsKeepTheirEscapedBytes();
    void cleanup();

private:
    QByteArray Folder() const { return QFile::encodeName(Temp->path()); }
    void Touch(const QByteArray &relative) const;

    std::unique_ptr<QTemporaryDir> Temp;
};

namespace {

// Files below the temporary folder: names in Latin-1 and a folder that is not UTF-8, two names that Qt shows alike,
// one in UTF-8.
const QByteArray LatinFolder("d\xFC");
const QList<QByteArray> Entries{"caf\xE9.pquil", "d\xFC/run\xE9.pquil", "x\xE9.pquil", "x\xE8.pquil",
                                "caf\xC3\xA9.pquil"};

} // namespace

void tst_PathBytes::init() {
    Temp = std::make_unique<QTemporaryDir>();
    QVERIFY(Temp->isValid());
    // Names in Latin-1 and a folder that is not UTF-8; two names that Qt shows alike; one in UTF-8.
    QVERIFY(::mkdir(Folder() + "/d\xFC", 0700) == 0);
    for (const QByteArray &name :
         {QByteArray("caf\xE9.pquil"), QByteArray("d\xFC/run\xE9.pquil"), QByteArray("x\xE9.pquil"),
          QByteArray("x\xE8.pquil"), QByteArray("caf\xC3\xA9.pquil")})
        Touch(name);
}

// Qt cannot remove what it cannot name.
void tst_PathBytes::cleanup() {
    for (const QByteArray &name : Entries)
        QCOMPARE(::unlink(Folder() + "/" + name), 0);
    QCOMPARE(::rmdir(Folder() + "/" + LatinFolder), 0);
}

void tst_PathBytes::Touch(const QByteArray &relative) const {
    const int file = ::open(Folder() + "/" + relative, O_WRONLY | O_CREAT | O_EXCL, 0600);
    QVERIFY(file >= 0);
    ::close(file);
}

void tst_PathBytes::bytesSurviveText_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readable");
    QTest::newRow("ASCII") << QByteArray("/home/runner/log.pquil") << QStringLiteral("/home/runner/log.pquil");
    QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9") << QStringLiteral("caf\u00E9");
    QTest::newRow("Latin-1") << QByteArray("caf\xE9") << QStringLiteral("caf\uFFFD");
    QTest::newRow("lone continuation") << QByteArray("a\x80z") << QStringLiteral("a\uFFFDz");
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QStringLiteral("\uFFFD\uFFFD");
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << QStringLiteral("\uFFFD\uFFFD\uFFFD");
    QTest::newRow("four bytes") << QByteArray("\xF0\x9F\x8F\x83") << QString::fromUtf8("\xF0\x9F\x8F\x83");
    QTest::newRow("cut short at the end") << QByteArray("run\xE2\x82") << QStringLiteral("run\uFFFD\uFFFD");
}

void tst_PathBytes::bytesSurviveText() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readable);
    const QString held = PathBytes::Decode(bytes);
    QCOMPARE(PathBytes::Encode(held), bytes);
    QCOMPARE(PathBytes::Readable(held), readable);
}

void tst_PathBytes::dialogNamesLeadBackToTheirFiles_data() {
    QTest::addColumn<QByteArray>("name"); // below the temporary folder
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("Latin-1 name") << QByteArray("caf\xE9.pquil") << QByteArray("caf\xE9.pquil");
    QTest::newRow("UTF-8 name") << QByteArray("caf\xC3\xA9.pquil") << QByteArray("caf\xC3\xA9.pquil");
    QTest::newRow("Latin-1 folder and name") << QByteArray("d\xFC/run\xE9.pquil") << QByteArray("d\xFC/run\xE9.pquil");
    // A new name typed into a save dialog, in a folder that is not UTF-8.
    QTest::newRow("new name in such a folder") << QByteArray("d\xFC/new.pquil") << QByteArray("d\xFC/new.pquil");
    // Two entries that read alike cannot be told apart: the shown name is kept.
    QTest::newRow("ambiguous") << QByteArray("x\xE9.pquil") << QByteArray("x\xEF\xBF\xBD.pquil");
    QTest::newRow("no such entry") << QByteArray("gone\xE9.pquil") << QByteArray("gone\xEF\xBF\xBD.pquil");
}

void tst_PathBytes::dialogNamesLeadBackToTheirFiles() {
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    // What Qt's file dialog gives for the entry.
    const QString shown = QFile::decodeName(Folder() + "/" + name);
    QCOMPARE(PathBytes::Encode(PathBytes::Recover(shown)), Folder() + "/" + expected);
}

void tst_PathBytes::urlsKeepTheirEscapedBytes_data() {
    QTest::addColumn<QString>("url"); // %1 is the temporary folder
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("escaped Latin-1") << QStringLiteral("file://%1/caf%E9.pquil") << QByteArray("caf\xE9.pquil");
    QTest::newRow("localhost") << QStringLiteral("file://localhost%1/d%FC/run%E9.pquil")
                               << QByteArray("d\xFC/run\xE9.pquil");
    QTest::newRow("escaped UTF-8") << QStringLiteral("file://%1/caf%C3%A9.pquil") << QByteArray("caf\xC3\xA9.pquil");
    // A program that decoded the name before it made the URL: the entry is found again.
    QTest::newRow("already decoded") << QStringLiteral("file://%1/caf%EF%BF%BD.pquil") << QByteArray("caf\xE9.pquil");
    QTest::newRow("not a file") << QStringLiteral("https://example.org%1/caf%E9.pquil") << QByteArray();
}

void tst_PathBytes::urlsKeepTheirEscapedBytes() {
    QFETCH(QString, url);
    QFETCH(QByteArray, expected);
    const QString path =
        PathBytes::FromUrl(QUrl(url.arg(QString::fromLatin1(QUrl::toPercentEncoding(Temp->path(), "/")))));
    QCOMPARE(PathBytes::Encode(path), expected.isEmpty() ? QByteArray() : Folder() + "/" + expected);
}

QTEST_MAIN(tst_PathBytes)
#include "tst_PathBytes.moc"
