#pragma once

#include <QString>

#include <memory>

class QSettings;

// The folder of the program's files of its own: $XDG_CONFIG_HOME/pacequill, or PACEQUILL_CONFIG_DIR when set
// (tests set it), and the few choices the new windows remember between runs, in settings.ini there.
namespace UserSettings {

QString Folder();
std::unique_ptr<QSettings> Open();

} // namespace UserSettings
