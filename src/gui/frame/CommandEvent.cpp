#include "frame/CommandEvent.h"

#include <QCoreApplication>

CommandEvent::CommandEvent(int command) : QEvent(EventType()), CommandId(command) {}

QEvent::Type CommandEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void CommandEvent::Post(int command) {
    if (QCoreApplication *app = QCoreApplication::instance())
        QCoreApplication::postEvent(app, new CommandEvent(command));
}
