#pragma once

#include <QList>
#include <QPointer>

class CommandTarget;
class QAction;
class QWidget;

// Carries commands through the window that has (or last had) the keyboard focus inside the frame, its parents
// up to the frame, and then the application; the first target with a handler carries the command out.
// Enabling asks the same chain: the first enabler decides, otherwise a command is enabled exactly when some
// target has a handler for it.
class CommandRouter {
public:
    CommandRouter(QWidget *frame, CommandTarget *application);

    // The targets from the focus window up to the frame, without the application.
    QList<CommandTarget *> Chain() const;
    // False when nobody handles the command; such commands are dropped.
    bool Route(int command) const;
    bool IsEnabled(int command) const;
    // Enables or greys every action that carries a command number.
    void UpdateActions(const QList<QAction *> &actions) const;

    // The command number an action carries, 0 for none (separators, menu titles).
    static int CommandOf(const QAction *action);
    static void SetCommand(QAction *action, int command);

private:
    QWidget *ChainStart() const;

    QPointer<QWidget> Frame;
    CommandTarget *Application;
};
