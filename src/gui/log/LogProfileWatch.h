#pragma once

#include <QObject>
#include <QString>

#include <string>

#include "insight/LogProfile.h"
#include "log/LogDiskState.h"

class QWidget;

// The profile of the open log (shoes, goals, week start): read with the log and read again when it changed on
// disk. A profile with lines that cannot be read is reported in a message that names the file, once per load,
// and again only when its bad lines change; the lines that can be read still count.
class LogProfileWatch : public QObject {
    Q_OBJECT

public:
    // owner: the window that the messages belong to.
    explicit LogProfileWatch(QWidget *owner);

    // Reads the profile of the log at the path; an empty path (a log without a file) has none.
    void Load(const QString &logPath);
    // Reads the profile again when its file changed since it was last read.
    void CheckDisk();

    const pq::LogProfile &Profile() const { return Current; }
    // The log's path, empty when the log has no file (and so no place for a profile).
    const QString &LogPath() const { return Log; }
    // The log's path as the file system takes it.
    std::string LogFilePath() const;

signals:
    void Changed();

private:
    void Read();
    // The message about the profile's bad lines or its failed read; empty when all is well.
    QString ProblemMessage() const;

    QWidget *Owner;
    QString Log;
    pq::LogProfile Current;
    pq::LogDiskState Disk;
    QString Reported;
};
