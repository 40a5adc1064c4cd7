#include "frame/UserSettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace UserSettings {

namespace {
const char *const ConfigDirVariable = "PACEQUILL_CONFIG_DIR";
const QString AppFolder = QStringLiteral("pacequill");
const QString SettingsFileName = QStringLiteral("settings.ini");
} // namespace

QString Folder() {
    QString folder = qEnvironmentVariable(ConfigDirVariable);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + AppFolder;
    return folder;
}

std::unique_ptr<QSettings> Open() {
    return std::make_unique<QSettings>(QDir(Folder()).filePath(SettingsFileName), QSettings::IniFormat);
}

} // namespace UserSettings
