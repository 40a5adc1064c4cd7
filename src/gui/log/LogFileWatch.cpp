#include "log/LogFileWatch.h"

#include <QFileInfo>

namespace {

// A save by another program comes as several events (the temporary file, the rename); one look after them is enough.
constexpr int SettleMs = 100;

} // namespace

LogFileWatch::LogFileWatch(QObject *parent) : QObject(parent) {
    Settle.setSingleShot(true);
    Settle.setInterval(SettleMs);
    connect(&Settle, &QTimer::timeout, this, &LogFileWatch::Touched);
    connect(&Watcher, &QFileSystemWatcher::fileChanged, this, &LogFileWatch::OnChange);
    connect(&Watcher, &QFileSystemWatcher::directoryChanged, this, &LogFileWatch::OnChange);
}

void LogFileWatch::Follow(const QString &path) {
    Path = path;
    if (!Watcher.files().isEmpty())
        Watcher.removePaths(Watcher.files());
    if (!Watcher.directories().isEmpty())
        Watcher.removePaths(Watcher.directories());
    if (path.isEmpty())
        return;
    const QFileInfo file(path);
    // The folder tells of a rename over the file and of its removal; the file of writes in place.
    Watcher.addPath(file.absolutePath());
    if (file.exists())
        Watcher.addPath(file.absoluteFilePath());
}

void LogFileWatch::OnChange() {
    // A file replaced by a rename is no longer watched under its name: watch the new one.
    if (QFileInfo::exists(Path) && Watcher.files().isEmpty())
        Watcher.addPath(QFileInfo(Path).absoluteFilePath());
    Settle.start();
}
