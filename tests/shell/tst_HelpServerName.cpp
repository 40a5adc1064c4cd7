#include "helpwire/HelpServerName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// Where the help socket may live: only in a folder of the user's own that no one else may enter, whatever the
// environment and the temporary directory hold.
class tst_HelpServerName : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void privateFolder_data();
    void privateFolder();
    void runtimeFolder_data();
    void runtimeFolder();
    void serverName_data();
    void serverName();

private:
    QString Folder() const;

    std::unique_ptr<QTemporaryDir> base;
};

namespace {
constexpr uid_t OtherUser = 65534; // nobody
constexpr mode_t Private = 0700;
constexpr mode_t Everyone = 0777;

enum class Prepared { Missing, Private, OpenToAll, OpenToGroup, Symlink, RegularFile, OtherUsers };

bool Prepare(Prepared kind, const QString &path, const QString &elsewhere) {
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case Prepared::Missing:
        return true;
    case Prepared::Private:
        return ::mkdir(name.constData(), Private) == 0;
    case Prepared::OpenToAll:
        return ::mkdir(name.constData(), Private) == 0 && ::chmod(name.constData(), Everyone) == 0;
    case Prepared::OpenToGroup:
        return ::mkdir(name.constData(), Private) == 0 && ::chmod(name.constData(), 0750) == 0;
    case Prepared::Symlink:
        return ::mkdir(QFile::encodeName(elsewhere).constData(), Private) == 0 && QFile::link(elsewhere, path);
    case Prepared::RegularFile: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
    }
    case Prepared::OtherUsers:
        return ::mkdir(name.constData(), Private) == 0 && ::chown(name.constData(), OtherUser, OtherUser) == 0;
    }
    return false;
}
} // namespace

void tst_HelpServerName::init() {
    base = std::make_unique<QTemporaryDir>();
    QVERIFY(base->isValid());
    QVERIFY(QDir(base->path()).mkdir("tmp"));
    qputenv("TMPDIR", QFile::encodeName(base->filePath("tmp")));
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("PACEQUILL_HELP_SERVER");
}

void tst_HelpServerName::cleanup() {
    base.reset();
}

QString tst_HelpServerName::Folder() const {
    return base->filePath("tmp/pacequill-" + QString::number(::geteuid()));
}

void tst_HelpServerName::privateFolder_data() {
    QTest::addColumn<int>("prepared");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("missing: made") << int(Prepared::Missing) << true;
    QTest::newRow("private") << int(Prepared::Private) << true;
    QTest::newRow("open to everyone") << int(Prepared::OpenToAll) << false;
    QTest::newRow("open to the group") << int(Prepared::OpenToGroup) << false;
    QTest::newRow("symbolic link to a private folder") << int(Prepared::Symlink) << false;
    QTest::newRow("regular file") << int(Prepared::RegularFile) << false;
    QTest::newRow("another user's") << int(Prepared::OtherUsers) << false;
}

void tst_HelpServerName::privateFolder() {
    QFETCH(int, prepared);
    QFETCH(bool, accepted);
    if (prepared == int(Prepared::OtherUsers) && ::geteuid() != 0)
        QSKIP("only the superuser can give a folder to another user");
    QVERIFY(Prepare(Prepared(prepared), Folder(), base->filePath("elsewhere")));

    const HelpServerLocation folder = HelpPrivateFolder();
    const HelpServerLocation socket = HelpServerName();
    QCOMPARE(folder.IsValid(), accepted);
    QCOMPARE(socket.IsValid(), accepted);
    if (accepted) {
        QCOMPARE(folder.path, Folder());
        QCOMPARE(socket.path, Folder() + "/pacequill-help");
        struct stat status {};
        QCOMPARE(::lstat(QFile::encodeName(Folder()).constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, Private);
    } else {
        QVERIFY2(folder.error.contains(Folder()), qPrintable(folder.error));
        QVERIFY(socket.path.isEmpty());
    }
}

void tst_HelpServerName::runtimeFolder_data() {
    QTest::addColumn<int>("prepared");
    QTest::addColumn<bool>("used");
    QTest::newRow("private") << int(Prepared::Private) << true;
    QTest::newRow("open to everyone") << int(Prepared::OpenToAll) << false;
    QTest::newRow("symbolic link") << int(Prepared::Symlink) << false;
    QTest::newRow("missing") << int(Prepared::Missing) << false;
    QTest::newRow("another user's") << int(Prepared::OtherUsers) << false;
}

void tst_HelpServerName::runtimeFolder() {
    QFETCH(int, prepared);
    QFETCH(bool, used);
    if (prepared == int(Prepared::OtherUsers) && ::geteuid() != 0)
        QSKIP("only the superuser can give a folder to another user");
    const QString runtime = base->filePath("runtime");
    QVERIFY(Prepare(Prepared(prepared), runtime, base->filePath("elsewhere")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));

    // A runtime folder that is not private is passed over for the temporary one, never used.
    const HelpServerLocation socket = HelpServerName();
    QVERIFY2(socket.IsValid(), qPrintable(socket.error));
    QCOMPARE(socket.path, (used ? runtime : Folder()) + "/pacequill-help");
}

void tst_HelpServerName::serverName_data() {
    QTest::addColumn<QString>("name"); // "@" stands for the private folder, "~" for the test's own folder
    QTest::addColumn<QString>("path"); // empty: refused
    QTest::newRow("plain name") << "viewer"
                                << "@/viewer";
    QTest::newRow("path in the folder") << "@/viewer"
                                        << "@/viewer";
    QTest::newRow("path in the folder, spelled with a dot") << "@/./viewer"
                                                            << "@/viewer";
    QTest::newRow("elsewhere") << "~/viewer"
                               << "";
    QTest::newRow("a system file") << "/etc/passwd"
                                   << "";
    QTest::newRow("out through ..") << "@/../viewer"
                                    << "";
    QTest::newRow("in a subfolder") << "@/sub/viewer"
                                    << "";
    QTest::newRow("through a link to elsewhere") << "@/out/viewer"
                                                 << "";
    QTest::newRow("relative path") << "tmp/viewer"
                                   << "";
    QTest::newRow("dot dot") << ".."
                             << "";
    QTest::newRow("dot") << "."
                         << "";
    QTest::newRow("folder only") << "@/"
                                 << "";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_HelpServerName::serverName() {
    QFETCH(QString, name);
    QFETCH(QString, path);
    const HelpServerLocation folder = HelpPrivateFolder();
    QVERIFY2(folder.IsValid(), qPrintable(folder.error));
    QVERIFY(QDir(Folder()).mkdir("sub"));
    QVERIFY(QFile::link(base->path(), Folder() + "/out"));
    name.replace('@', Folder()).replace('~', base->path());
    path.replace('@', Folder());
    QVERIFY(QDir::setCurrent(base->path()));

    for (const bool fromEnvironment : {false, true}) {
        qputenv("PACEQUILL_HELP_SERVER", QFile::encodeName(name));
        const HelpServerLocation socket = fromEnvironment ? HelpServerName() : ResolveHelpServerName(name);
        // An empty setting means the default name.
        if (fromEnvironment && name.isEmpty()) {
            QCOMPARE(socket.path, Folder() + "/pacequill-help");
            continue;
        }
        QCOMPARE(socket.path, path);
        QCOMPARE(socket.IsValid(), !path.isEmpty());
    }
}

QTEST_MAIN(tst_HelpServerName)
#include "tst_HelpServerName.moc"
