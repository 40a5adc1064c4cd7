#include "frame/CommandRouter.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>

#include "frame/CommandTarget.h"

CommandRouter::CommandRouter(QWidget *frame, CommandTarget *application) : Frame(frame), Application(application) {}

QWidget *CommandRouter::ChainStart() const {
    if (!Frame)
        return nullptr;
    QWidget *focus = QApplication::focusWidget();
    auto *mainWindow = qobject_cast<QMainWindow *>(Frame.data());
    QWidget *client = mainWindow ? mainWindow->centralWidget() : nullptr;
    if (!client) {
        if (focus && focus->window() == Frame)
            return focus;
        QWidget *last = Frame->focusWidget();
        return last ? last : Frame.data();
    }
    if (focus && (focus == client || client->isAncestorOf(focus)))
        return focus;
    // The focus is on a decoration (the menu bar in keyboard mode, a toolbar), in a floating toolbar or in another
    // program: the client remembers the child that had it last.
    QWidget *last = client->focusWidget();
    return last ? last : client;
}

QList<CommandTarget *> CommandRouter::Chain() const {
    QList<CommandTarget *> chain;
    for (QWidget *widget = ChainStart(); widget; widget = widget->parentWidget()) {
        if (auto *target = dynamic_cast<CommandTarget *>(widget))
            chain.append(target);
        if (widget == Frame || widget->isWindow())
            break;
    }
    return chain;
}

bool CommandRouter::Route(int command) const {
    for (CommandTarget *target : Chain()) {
        if (target->Handle(command))
            return true;
    }
    return Application && Application->Handle(command);
}

bool CommandRouter::IsEnabled(int command) const {
    const QList<CommandTarget *> chain = Chain();
    for (const CommandTarget *target : chain) {
        if (const std::optional<bool> enabled = target->Enabled(command))
            return *enabled;
    }
    if (Application) {
        if (const std::optional<bool> enabled = Application->Enabled(command))
            return *enabled;
    }
    for (const CommandTarget *target : chain) {
        if (target->HasHandler(command))
            return true;
    }
    return Application && Application->HasHandler(command);
}

void CommandRouter::UpdateActions(const QList<QAction *> &actions) const {
    for (QAction *action : actions) {
        if (const int command = CommandOf(action))
            action->setEnabled(IsEnabled(command));
    }
}

int CommandRouter::CommandOf(const QAction *action) {
    return action ? action->data().toInt() : 0;
}

void CommandRouter::SetCommand(QAction *action, int command) {
    action->setData(command);
}
