#pragma once

#include <QEvent>

// A menu, toolbar or accelerator command on its way through the event queue. It is posted to the application,
// so the application's pre-processing sees it before the command is routed.
class CommandEvent : public QEvent {
public:
    explicit CommandEvent(int command);

    int Command() const { return CommandId; }

    static QEvent::Type EventType();
    // Queues the command for the application.
    static void Post(int command);

private:
    int CommandId;
};
