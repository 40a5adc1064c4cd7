#include "helpviewer/HelpCollectionCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char SqliteHeader[] = "SQLite format 3"; // with its terminating zero, the first 16 bytes of every database
constexpr qint64 SqliteHeaderBytes = sizeof SqliteHeader;
constexpr qint64 CopyChunkBytes = qint64{1} << 20;
constexpr int EntryNameLength = 40; // a SHA-1 in hexadecimal
constexpr char ConnectionName[] = "pacequill-help-cache";
constexpr char CollectionFileQuery[] = "SELECT FilePath FROM NamespaceTable";
const QStringList CollectionTables{QStringLiteral("NamespaceTable"), QStringLiteral("SettingsTable")};
const QStringList DocumentationTables{QStringLiteral("NamespaceTable"), QStringLiteral("FileNameTable"),
                                      QStringLiteral("FileDataTable")};

QString SystemError(const QString &path) {
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

// Copies a help database: the source must be a regular file of at most MaxFileBytes that starts as an SQLite
// database does. It is checked and read through one descriptor, so what was checked is what is copied; opening it
// without blocking keeps a FIFO from stalling the viewer. Returns the reason when the file is not taken.
QString CopyDatabase(const QString &source, const QString &target) {
    const int descriptor = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return SystemError(source);
    QFile in;
    if (!in.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return QStringLiteral("%1: %2").arg(source, in.errorString());
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return SystemError(source);
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("%1 is not a regular file").arg(source);
    if (status.st_size > HelpCollectionCache::MaxFileBytes)
        return QStringLiteral("%1 is larger than a help file may be").arg(source);
    if (in.read(SqliteHeaderBytes) != QByteArray(SqliteHeader, SqliteHeaderBytes) || !in.seek(0))
        return QStringLiteral("%1 is not a help file").arg(source);

    QFile::remove(target);
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QStringLiteral("%1: %2").arg(target, out.errorString());
    out.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    qint64 copied = 0;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(CopyChunkBytes);
        copied += chunk.size();
        // The file may have grown since it was measured.
        if (chunk.isEmpty() || copied > HelpCollectionCache::MaxFileBytes || out.write(chunk) != chunk.size()) {
            out.remove();
            return QStringLiteral("%1 could not be copied").arg(source);
        }
    }
    return {};
}

// Opens a help database read-only; when it holds every one of the tables, returns the first column of what
// fileQuery selects (nothing asked: an empty list), and nothing when it is not such a database.
std::optional<QStringList> ReadDatabase(const QString &path, const QStringList &tables, const QString &fileQuery = {}) {
    std::optional<QStringList> registered;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(ConnectionName));
        database.setDatabaseName(path);
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (database.open()) {
            const QStringList present = database.tables();
            const bool complete = std::all_of(tables.begin(), tables.end(),
                                              [&present](const QString &table) { return present.contains(table); });
            QSqlQuery query(database);
            if (complete && fileQuery.isEmpty()) {
                registered = QStringList();
            } else if (complete && query.exec(fileQuery)) {
                registered = QStringList();
                while (query.next())
                    registered->append(query.value(0).toString());
            }
        }
    }
    QSqlDatabase::removeDatabase(QLatin1String(ConnectionName));
    return registered;
}
} // namespace

HelpCollectionCache::HelpCollectionCache(QString cacheFolder) : folder(std::move(cacheFolder)) {}

HelpCollectionCache::Copy HelpCollectionCache::Prepare(const QString &collection) {
    const QFileInfo source(collection);
    if (!source.isAbsolute())
        return {{}, QStringLiteral("%1 is not an absolute path").arg(collection)};
    const QString cacheFolder =
        folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::CacheLocation) : folder;
    const QDir sourceDir(source.absolutePath());
    const QByteArray key = QCryptographicHash::hash(sourceDir.path().toUtf8(), QCryptographicHash::Sha1).toHex();
    const QDir entry(QDir(cacheFolder).filePath(QString::fromLatin1(key)));
    if (!entry.mkpath(QStringLiteral(".")))
        return {{}, QStringLiteral("%1 could not be made").arg(entry.path())};

    // Each copy replaces the file it finds, which also marks the entry as used last.
    const QString copy = entry.filePath(source.fileName());
    QString error = CopyDatabase(source.absoluteFilePath(), copy);
    const std::optional<QStringList> documentation =
        error.isEmpty() ? ReadDatabase(copy, CollectionTables, QLatin1String(CollectionFileQuery)) : std::nullopt;
    if (error.isEmpty() && !documentation)
        error = QStringLiteral("%1 is not a help collection").arg(collection);
    for (const QString &name : documentation.value_or(QStringList())) {
        if (!error.isEmpty())
            break;
        // The engine finds documentation relative to the collection; only files beside it travel with the copy.
        if (name.isEmpty() || name.contains(u'/') || name == QLatin1String(".") || name == QLatin1String("..")) {
            error = QStringLiteral("%1 registers documentation outside its folder").arg(collection);
            break;
        }
        error = CopyDatabase(sourceDir.filePath(name), entry.filePath(name));
        if (error.isEmpty() && !ReadDatabase(entry.filePath(name), DocumentationTables))
            error = QStringLiteral("%1 is not help documentation").arg(sourceDir.filePath(name));
    }
    if (!error.isEmpty()) {
        QFile::remove(copy);
        return {{}, error};
    }
    Prune(entry.path());
    return {copy, {}};
}

void HelpCollectionCache::Prune(const QString &keep) const {
    const QFileInfo kept(keep);
    const QFileInfoList entries =
        QDir(kept.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Time);
    int count = 0;
    for (const QFileInfo &entry : entries) {
        // Only the cache's own entries: folders named by the key of a collection's folder.
        const QString name = entry.fileName();
        const bool own = name.size() == EntryNameLength && std::all_of(name.begin(), name.end(), [](QChar c) {
                             return c.isDigit() || (c >= u'a' && c <= u'f');
                         });
        // The entry in use counts as one of those kept.
        if (!own || entry.absoluteFilePath() == kept.absoluteFilePath() || ++count < MaxEntries)
            continue;
        QDir(entry.absoluteFilePath()).removeRecursively();
    }
}
