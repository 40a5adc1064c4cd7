#include "shell/ClassesRootStore.h"

#include <QDir>
#include <QSettings>

#include "frame/UserSettings.h"

namespace {

const QString StoreFileName = QStringLiteral("classes-root.ini");
// QSettings' name for a key's unnamed value, the same in INI files and in the Windows registry.
const QString DefaultValueName = QStringLiteral("Default");

QString SettingsPath(const QString &keyPath) {
    QString path = keyPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

} // namespace

ClassesRootStore::ClassesRootStore()
#ifdef Q_OS_WIN
    : Settings(std::make_unique<QSettings>(QStringLiteral("HKEY_CLASSES_ROOT"), QSettings::NativeFormat))
#else
    : Settings(std::make_unique<QSettings>(Location(), QSettings::IniFormat))
#endif
{
}

ClassesRootStore::~ClassesRootStore() = default;

QString ClassesRootStore::Location() {
    return QDir(UserSettings::Folder()).filePath(StoreFileName);
}

bool ClassesRootStore::CreateKey(const QString &keyPath) {
    return !keyPath.isEmpty();
}

bool ClassesRootStore::SetDefaultValue(const QString &keyPath, const QString &value) {
    if (keyPath.isEmpty())
        return false;
    Settings->setValue(SettingsPath(keyPath) + QLatin1Char('/') + DefaultValueName, value);
    return Commit();
}

bool ClassesRootStore::DeleteSubKey(const QString &keyPath, const QString &subKey) {
    if (keyPath.isEmpty() || subKey.isEmpty())
        return false;
    return RemoveKey(keyPath + QLatin1Char('\\') + subKey);
}

bool ClassesRootStore::DeleteKey(const QString &keyPath) {
    return RemoveKey(keyPath);
}

bool ClassesRootStore::RemoveKey(const QString &keyPath) {
    if (!KeyExists(keyPath))
        return false;
    Settings->beginGroup(SettingsPath(keyPath));
    const bool hasSubKeys = !Settings->childGroups().isEmpty();
    Settings->endGroup();
    if (hasSubKeys)
        return false;
    Settings->remove(SettingsPath(keyPath));
    return Commit();
}

QString ClassesRootStore::DefaultValue(const QString &keyPath) const {
    return Settings->value(SettingsPath(keyPath) + QLatin1Char('/') + DefaultValueName).toString();
}

bool ClassesRootStore::KeyExists(const QString &keyPath) const {
    if (keyPath.isEmpty())
        return false;
    Settings->beginGroup(SettingsPath(keyPath));
    const bool exists = !Settings->allKeys().isEmpty();
    Settings->endGroup();
    return exists;
}

bool ClassesRootStore::Commit() {
    Settings->sync();
    return Settings->status() == QSettings::NoError;
}
