#pragma once

#include "helpviewer/HelpCollectionCache.h"
#include "helpwire/HelpAnswer.h"
#include "helpwire/HelpRequest.h"

#include <QLocalServer>
#include <QObject>

#include <memory>

class HelpMainWindow;
class HelpPopup;
class HelpTopicWindow;
class QHelpEngine;
class QLocalSocket;
class QMessageBox;

// The help viewer: one per user, serving requests that arrive on its local socket, one JSON line each, and
// showing the main help window, the secondary window "pqhw", context pop-ups and messages about missing help.
// It ends when asked to quit or when the user has closed its last window.
class HelpViewer : public QObject {
    Q_OBJECT
public:
    enum class ListenResult { Listening, AlreadyRunning, Failed };

    HelpViewer();
    ~HelpViewer() override;

    // Listens on the socket at this path. Whatever is already there is left alone unless it is a socket of this
    // user that no one listens on any more: a running viewer of this user takes the requests, and anything else
    // makes listening fail, with the reason in ListenError().
    ListenResult Listen(const QString &socketPath);
    QString ListenError() const { return listenError; }
    HelpAnswer Handle(const HelpRequest &request);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ListenResult ListenLocked(const QString &socketPath);
    void Serve(QLocalSocket *socket);
    bool OpenCollection(const QString &collection);
    QUrl TopicFor(const QString &identifier) const;
    HelpAnswer Refuse(const QString &message);
    HelpAnswer Accept() const;
    QList<QWidget *> Windows() const;
    void Watch(QWidget *window);
    void QuitIfIdle();
    void CloseCollection();

    QLocalServer server;
    QString listenError;
    HelpCollectionCache cache;
    QString openCollection;
    QString collectionError;
    std::unique_ptr<QHelpEngine> engine;
    std::unique_ptr<HelpMainWindow> mainWindow;
    std::unique_ptr<HelpTopicWindow> secondaryWindow;
    std::unique_ptr<HelpPopup> popup;
    std::unique_ptr<QMessageBox> notice;
};
