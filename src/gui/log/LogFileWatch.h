#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

// Watches the open log's file and its folder, so that a change by another program (written in place, replaced by a
// rename, removed) is noticed. Touched comes once a burst of changes has settled; the client then looks at the file.
class LogFileWatch : public QObject {
    Q_OBJECT

public:
    explicit LogFileWatch(QObject *parent = nullptr);

    // Watches this file (and its folder) from now on; an empty path watches nothing.
    void Follow(const QString &path);
    // Watches the file once the view has painted (or a while has passed), then reports Touched once, so that a
    // change made before the watch began is looked at too. Watching a folder costs a few milliseconds that the first
    // paint of a log just read need not wait for.
    void FollowAfterPaint(const QString &path, QWidget *view);

signals:
    void Touched();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void OnChange();
    void FollowPending();

    QFileSystemWatcher Watcher;
    QTimer Settle;
    QString Path;
    QTimer Delay;                // the latest a pending watch starts
    QPointer<QWidget> PaintView; // the view whose paint starts it
    QString Pending;
};
