#include "log/LogFileWatch.h"

#include <QEvent>
#include <QFileInfo>

namespace {

// A save by another program comes as several events (the temporary file, the rename); one look after them is enough.
constexpr int SettleMs = 100;
// A view not painted by then (hidden, or slow) waits no longer for a watch that starts after its paint.
constexpr int FollowDelayMs = 1000;

} // namespace

LogFileWatch::LogFileWatch(QObject *parent) : QObject(parent) {
    Settle.setSingleShot(true);
    Settle.setInterval(SettleMs);
    connect(&Settle, &QTimer::timeout, this, &LogFileWatch::Touched);
    connect(&Watcher, &QFileSystemWatcher::fileChanged, this, &LogFileWatch::OnChange);
    connect(&Watcher, &QFileSystemWatcher::directoryChanged, this, &LogFileWatch::OnChange);
    Delay.setSingleShot(true);
    Delay.setInterval(FollowDelayMs);
    connect(&Delay, &QTimer::timeout, this, &LogFileWatch::FollowPending);
}

void LogFileWatch::Follow(const QString &path) {
    Pending.clear();
    Delay.stop();
    if (PaintView)
        PaintView->removeEventFilter(this);
    PaintView = nullptr;
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

void LogFileWatch::FollowAfterPaint(const QString &path, QWidget *view) {
    Follow(QString());
    if (path.isEmpty())
        return;
    Pending = path;
    PaintView = view;
    view->installEventFilter(this);
    Delay.start();
}

bool LogFileWatch::eventFilter(QObject *watched, QEvent *event) {
    // Started once the paint is done, from the event loop.
    if (watched == PaintView && event->type() == QEvent::Paint && !Pending.isEmpty())
        QTimer::singleShot(0, this, &LogFileWatch::FollowPending);
    return QObject::eventFilter(watched, event);
}

void LogFileWatch::FollowPending() {
    if (Pending.isEmpty())
        return;
    Follow(Pending);
    emit Touched();
}

void LogFileWatch::OnChange() {
    // A file replaced by a rename is no longer watched under its name: watch the new one.
    if (QFileInfo::exists(Path) && Watcher.files().isEmpty())
        Watcher.addPath(QFileInfo(Path).absoluteFilePath());
    Settle.start();
}
