#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Watches the open log's file and its folder, so that a change by another program (written in place, replaced by a
// rename, removed) is noticed. Touched comes once a burst of changes has settled; the client then looks at the file.
class LogFileWatch : public QObject {
    Q_OBJECT

public:
    explicit LogFileWatch(QObject *parent = nullptr);

    // Watches this file (and its folder) from now on; an empty path watches nothing.
    void Follow(const QString &path);

signals:
    void Touched();

private:
    void OnChange();

    QFileSystemWatcher Watcher;
    QTimer Settle;
    QString Path;
};
