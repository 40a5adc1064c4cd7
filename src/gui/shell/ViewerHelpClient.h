#pragma once

#include "frame/HelpClient.h"
#include "helpwire/HelpAnswer.h"
#include "helpwire/HelpRequest.h"
#include "helpwire/HelpServerName.h"
#include "shell/HelpFileResolver.h"

#include <QString>

// The help client that talks to the pacequill-help viewer over the user's local socket. When no viewer answers it
// starts one detached, so help windows outlive the program, and waits for it while it starts, up to a bound that a
// loaded machine stays within: a missing viewer or collection is answered as a refusal. A viewer that cannot be
// started is reported to the user once, naming what is missing; a missing collection the viewer reports itself. Only a
// viewer of this user is trusted: when another user's process holds the socket, the client starts a viewer of its own
// under a name of its own.
class ViewerHelpClient : public HelpClient {
public:
    struct Options {
        QString serverName; // a name or path as ResolveHelpServerName() takes it; empty: HelpServerName()
        QString viewerPath; // empty: search next to the program, in the build tree, in PATH and in the bindir
        HelpFileResolver resolver;
    };

    ViewerHelpClient();
    explicit ViewerHelpClient(Options options);

    bool Request(QWidget *owner, const QString &helpFile, Command command, quint32 context = 0) override;

    // Sends one request and returns the viewer's answer; a refusal with a reason when no viewer could be reached.
    // Quit and Status never start a viewer.
    HelpAnswer Send(const HelpRequest &request);
    // The request that Request() sends for a command, with the help file text resolved.
    HelpRequest BuildRequest(const QString &helpFile, Command command, quint32 context) const;

private:
    // Starts the viewer; why it cannot be started, in words for the user, or nothing when it started.
    QString StartViewer(qint64 &pid) const;
    QString ViewerProgram() const;

    Options options;
    HelpServerLocation server;
    QString Unstartable; // why the last start of the viewer failed
    bool UnstartableReported = false;
};
