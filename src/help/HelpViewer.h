#pragma once

#include "shell/HelpAnswer.h"
#include "shell/HelpRequest.h"

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

    ListenResult Listen(const QString &serverName);
    HelpAnswer Handle(const HelpRequest &request);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
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
    QString openCollection;
    std::unique_ptr<QHelpEngine> engine;
    std::unique_ptr<HelpMainWindow> mainWindow;
    std::unique_ptr<HelpTopicWindow> secondaryWindow;
    std::unique_ptr<HelpPopup> popup;
    std::unique_ptr<QMessageBox> notice;
};
