#include "helpviewer/HelpViewer.h"

#include "helpwire/HelpServerName.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

// pacequill-help: the help viewer. The program starts it detached and talks to it over a local socket; a second
// viewer started while one runs leaves the requests to the first and ends.
int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pacequill-help"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pacequill Help"));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the help topics of Pacequill."));
    parser.addHelpOption();
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("Listen on the local socket of this name, in the user's private folder for help sockets."),
        QStringLiteral("name"));
    parser.addOption(serverOption);
    parser.process(app);

    const HelpServerLocation location =
        parser.isSet(serverOption) ? ResolveHelpServerName(parser.value(serverOption)) : HelpServerName();
    if (!location.IsValid()) {
        std::fprintf(stderr, "pacequill-help: %s\n", qPrintable(location.error));
        return 1;
    }
    HelpViewer viewer;
    switch (viewer.Listen(location.path)) {
    case HelpViewer::ListenResult::Listening:
        return QApplication::exec();
    case HelpViewer::ListenResult::AlreadyRunning:
        return 0;
    case HelpViewer::ListenResult::Failed:
        break;
    }
    std::fprintf(stderr, "pacequill-help: cannot listen: %s\n", qPrintable(viewer.ListenError()));
    return 1;
}
