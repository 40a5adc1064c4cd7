#include "helpviewer/HelpCollectionCache.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHelpEngineCore>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The viewer's cache takes only real help collections, whatever file a request names, and keeps few of them.
class tst_HelpCollectionCache : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void takesTheCollectionWithItsDocumentation();
    void refusesWhatIsNotACollection_data();
    void refusesWhatIsNotACollection();
    void keepsOnlyTheLatestFolders();
    void leavesOtherFilesInTheCacheAlone();

private:
    QString Source(const QString &name = "pacequill.qhc") const { return work->filePath("source/" + name); }
    QStringList CachedFiles() const;

    std::unique_ptr<QTemporaryDir> work;
    std::unique_ptr<HelpCollectionCache> cache;
};

namespace {
const QString BuiltCollection = QStringLiteral(PACEQUILL_HELP_COLLECTION);

bool CopyBuilt(const QString &folder) {
    const QString built = QFileInfo(BuiltCollection).absolutePath();
    return QDir().mkpath(folder) && QFile::copy(built + "/pacequill.qhc", folder + "/pacequill.qhc") &&
           QFile::copy(built + "/pacequill.qch", folder + "/pacequill.qch");
}

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A real SQLite database, but with tables of its own.
bool WriteOtherDatabase(const QString &path) {
    bool written = false;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase("QSQLITE", "other");
        database.setDatabaseName(path);
        written = database.open() && QSqlQuery(database).exec("CREATE TABLE Runs (Day TEXT, Miles REAL)");
    }
    QSqlDatabase::removeDatabase("other");
    return written;
}

// The collection with its registered documentation renamed.
bool Reregister(const QString &collection, const QString &documentation) {
    bool changed = false;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase("QSQLITE", "edit");
        database.setDatabaseName(collection);
        QSqlQuery query(database);
        changed = database.open() && query.prepare("UPDATE NamespaceTable SET FilePath = ?");
        query.addBindValue(documentation);
        changed = changed && query.exec();
    }
    QSqlDatabase::removeDatabase("edit");
    return changed;
}
} // namespace

void tst_HelpCollectionCache::init() {
    QVERIFY2(QFileInfo::exists(BuiltCollection), "the help collection was not built");
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    QVERIFY(CopyBuilt(work->filePath("source")));
    cache = std::make_unique<HelpCollectionCache>(work->filePath("cache"));
}

void tst_HelpCollectionCache::cleanup() {
    cache.reset();
    work.reset();
}

QStringList tst_HelpCollectionCache::CachedFiles() const {
    QStringList files;
    QDirIterator it(cache->Folder(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().section('/', -1);
    files.sort();
    return files;
}

void tst_HelpCollectionCache::takesTheCollectionWithItsDocumentation() {
    QVERIFY(WriteFile(Source("unrelated.qch"), "not registered"));
    const HelpCollectionCache::Copy copy = cache->Prepare(Source());
    QVERIFY2(copy.error.isEmpty(), qPrintable(copy.error));
    QVERIFY(copy.path.startsWith(cache->Folder() + '/'));
    QCOMPARE(CachedFiles(), (QStringList{"pacequill.qch", "pacequill.qhc"}));
    QHelpEngineCore engine(copy.path);
    engine.setUsesFilterEngine(true);
    QVERIFY(engine.setupData());
    QCOMPARE(engine.registeredDocumentations(), QStringList{"org.pacequill.help"});
}

void tst_HelpCollectionCache::refusesWhatIsNotACollection_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("a system file") << "passwd";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("only the database header") << "header";
    QTest::newRow("another database") << "other database";
    QTest::newRow("documentation, not a collection") << "documentation";
    QTest::newRow("larger than a help file may be") << "large";
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("folder") << "folder";
    QTest::newRow("missing") << "missing";
    QTest::newRow("relative path") << "relative";
    QTest::newRow("documentation outside its folder") << "outside";
    QTest::newRow("documentation that is not one") << "bad documentation";
    QTest::newRow("documentation missing") << "no documentation";
}

void tst_HelpCollectionCache::refusesWhatIsNotACollection() {
    QFETCH(QString, kind);
    const QString path = Source("asked.qhc");
    const QByteArray header("SQLite format 3\0", 16);
    if (kind == "passwd") {
        QVERIFY(QFile::copy("/etc/passwd", path));
    } else if (kind == "empty") {
        QVERIFY(WriteFile(path, {}));
    } else if (kind == "header") {
        QVERIFY(WriteFile(path, header + QByteArray(4096, '\0')));
    } else if (kind == "other database") {
        QVERIFY(WriteOtherDatabase(path));
    } else if (kind == "documentation") {
        QVERIFY(QFile::copy(Source("pacequill.qch"), path));
    } else if (kind == "large") {
        // A valid collection grown past the bound; the file is sparse, so the test stays small on disk.
        QVERIFY(QFile::copy(Source(), path));
        QVERIFY(QFile(path).resize(HelpCollectionCache::MaxFileBytes + 1));
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "relative") {
        QVERIFY(QFile::copy(Source(), path));
        QVERIFY(QDir::setCurrent(work->path()));
    } else if (kind == "outside") {
        QVERIFY(QFile::copy(Source(), path));
        QVERIFY(Reregister(path, "../pacequill.qch"));
    } else if (kind == "bad documentation") {
        QVERIFY(QFile::copy(Source(), path));
        QVERIFY(QFile::copy("/etc/passwd", Source("passwd.qch")));
        QVERIFY(Reregister(path, "passwd.qch"));
    } else if (kind == "no documentation") {
        QVERIFY(QFile::copy(Source(), path));
        QVERIFY(Reregister(path, "gone.qch"));
    }

    const HelpCollectionCache::Copy copy =
        cache->Prepare(kind == "relative" ? QDir(work->path()).relativeFilePath(path) : path);
    QVERIFY(copy.path.isEmpty());
    QVERIFY(!copy.error.isEmpty());
    QVERIFY2(!CachedFiles().contains("asked.qhc"), qPrintable(CachedFiles().join(' ')));
    QVERIFY(!CachedFiles().contains("passwd.qch"));
}

void tst_HelpCollectionCache::keepsOnlyTheLatestFolders() {
    QString latest;
    for (int folder = 0; folder < HelpCollectionCache::MaxEntries + 3; ++folder) {
        const QString source = work->filePath("folder" + QString::number(folder));
        QVERIFY(CopyBuilt(source));
        const HelpCollectionCache::Copy copy = cache->Prepare(source + "/pacequill.qhc");
        QVERIFY2(copy.error.isEmpty(), qPrintable(copy.error));
        latest = copy.path;
    }
    QCOMPARE(QDir(cache->Folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
             HelpCollectionCache::MaxEntries);
    QVERIFY(QFileInfo::exists(latest));
}

void tst_HelpCollectionCache::leavesOtherFilesInTheCacheAlone() {
    QVERIFY(QDir().mkpath(cache->Folder() + "/keep-me"));
    QVERIFY(WriteFile(cache->Folder() + "/notes.txt", "mine"));
    for (int folder = 0; folder < HelpCollectionCache::MaxEntries + 1; ++folder) {
        const QString source = work->filePath("folder" + QString::number(folder));
        QVERIFY(CopyBuilt(source));
        QVERIFY(cache->Prepare(source + "/pacequill.qhc").error.isEmpty());
    }
    QVERIFY(QFileInfo(cache->Folder() + "/keep-me").isDir());
    QVERIFY(QFileInfo(cache->Folder() + "/notes.txt").isFile());
}

QTEST_MAIN(tst_HelpCollectionCache)
#include "tst_HelpCollectionCache.moc"
