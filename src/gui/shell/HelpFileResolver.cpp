#include "shell/HelpFileResolver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {
constexpr QChar WindowSeparator = u'>';
constexpr char HelpFileSuffix[] = ".hlp";
constexpr char CollectionSuffix[] = ".qhc";

QStringList DefaultSearchDirs() {
    QStringList dirs{QDir::currentPath(), QCoreApplication::applicationDirPath()};
#ifdef PACEQUILL_HELP_BUILD_DIR
    dirs << QStringLiteral(PACEQUILL_HELP_BUILD_DIR);
#endif
#ifdef PACEQUILL_HELP_DATA_DIR
    dirs << QStringLiteral(PACEQUILL_HELP_DATA_DIR);
#endif
    return dirs;
}

QString FilePart(const QString &helpFileText) {
    const qsizetype separator = helpFileText.indexOf(WindowSeparator);
    return (separator < 0 ? helpFileText : helpFileText.left(separator)).trimmed();
}
} // namespace

HelpFileResolver::HelpFileResolver() : searchDirs(DefaultSearchDirs()) {}

HelpFileResolver::HelpFileResolver(QStringList dirs) : searchDirs(std::move(dirs)) {}

QString HelpFileResolver::CollectionFileName(const QString &helpFileText) {
    // ".\" is the Windows spelling of "in the current directory"; the search below starts there anyway.
    QString name = FilePart(helpFileText).replace(u'\\', u'/');
    name = QFileInfo(name).fileName();
    if (name.endsWith(QLatin1String(HelpFileSuffix), Qt::CaseInsensitive))
        name.chop(QLatin1String(HelpFileSuffix).size());
    if (name.isEmpty())
        return {};
    return name + QLatin1String(CollectionSuffix);
}

QString HelpFileResolver::WindowName(const QString &helpFileText) {
    const qsizetype separator = helpFileText.indexOf(WindowSeparator);
    return separator < 0 ? QString() : helpFileText.mid(separator + 1).trimmed();
}

HelpFileResolver::Target HelpFileResolver::Resolve(const QString &helpFileText) const {
    Target target{{}, WindowName(helpFileText)};
    const QString fileName = CollectionFileName(helpFileText);
    if (fileName.isEmpty())
        return target;
    for (const QString &dir : searchDirs) {
        const QFileInfo candidate(QDir(dir), fileName);
        if (candidate.isFile() && candidate.isReadable()) {
            target.collection = candidate.absoluteFilePath();
            break;
        }
    }
    return target;
}
