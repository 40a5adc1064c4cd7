#include "helpwire/HelpServerName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char OverrideVariable[] = "PACEQUILL_HELP_SERVER";
constexpr char RuntimeVariable[] = "XDG_RUNTIME_DIR";
constexpr char BaseName[] = "pacequill-help";
constexpr char FolderPrefix[] = "pacequill-";
constexpr mode_t PrivateMode = S_IRWXU;
constexpr mode_t OthersBits = S_IRWXG | S_IRWXO;

HelpServerLocation Refused(const QString &error) {
    return {{}, error};
}

// Empty when the folder is the user's own and closed to everyone else; otherwise the reason it is not.
QString PrivacyFault(const QString &folder) {
    struct stat status {};
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
        return QStringLiteral("folder %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("folder %1 is a symbolic link").arg(folder);
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("%1 is not a folder").arg(folder);
    if (status.st_uid != ::geteuid())
        return QStringLiteral("folder %1 belongs to another user").arg(folder);
    if ((status.st_mode & OthersBits) != 0)
        return QStringLiteral("folder %1 is open to other users").arg(folder);
    return {};
}
} // namespace

HelpServerLocation HelpPrivateFolder() {
    const QString runtime = qEnvironmentVariable(RuntimeVariable);
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && PrivacyFault(QDir::cleanPath(runtime)).isEmpty())
        return {QDir::cleanPath(runtime), {}};
    const QString folder = QDir(QDir::tempPath()).filePath(QLatin1String(FolderPrefix) + QString::number(::geteuid()));
    // Made private from the start; an existing entry is checked, never repaired, since it may not be ours.
    if (::mkdir(QFile::encodeName(folder).constData(), PrivateMode) != 0 && errno != EEXIST)
        return Refused(QStringLiteral("folder %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    const QString fault = PrivacyFault(folder);
    return fault.isEmpty() ? HelpServerLocation{folder, {}} : Refused(fault);
}

HelpServerLocation ResolveHelpServerName(const QString &name) {
    HelpServerLocation folder = HelpPrivateFolder();
    if (!folder.IsValid())
        return folder;
    const QString fileName = QFileInfo(name).fileName();
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        return Refused(QStringLiteral("\"%1\" is not a server name").arg(name));
    if (name.contains(u'/')) {
        const QString parent = QFileInfo(QFileInfo(name).absolutePath()).canonicalFilePath();
        if (parent.isEmpty() || parent != QFileInfo(folder.path).canonicalFilePath())
            return Refused(QStringLiteral("%1 is not in the private folder %2").arg(name, folder.path));
    }
    return {QDir(folder.path).filePath(fileName), {}};
}

HelpServerLocation HelpServerName() {
    const QString overridden = qEnvironmentVariable(OverrideVariable);
    return ResolveHelpServerName(overridden.isEmpty() ? QLatin1String(BaseName) : overridden);
}
