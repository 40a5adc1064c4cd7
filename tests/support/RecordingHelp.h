#pragma once

#include <QList>

#include "frame/HelpClient.h"

// A help client for tests: accepts every request and records it.
class RecordingHelp : public HelpClient {
public:
    struct Sent {
        QWidget *Owner;
        QString File;
        Command Kind;
        quint32 Context;
    };

    bool Request(QWidget *owner, const QString &helpFile, Command command, quint32 context) override {
        Requests.append({owner, helpFile, command, context});
        return true;
    }

    QList<Sent> Requests;
};
