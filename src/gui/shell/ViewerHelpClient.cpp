#include "shell/ViewerHelpClient.h"

#include "frame/ProgramName.h"
#include "frame/Prompts.h"
#include "helpwire/LocalPeer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <utility>

namespace {
constexpr char ViewerName[] = "pacequill-help";
// A running viewer accepts at once. A viewer started on a busy machine may take seconds to listen, and its first
// request (opening and indexing the collection) seconds more; these bound how long the program can stall then.
constexpr int ConnectTimeoutMs = 200;
constexpr int StartTimeoutMs = 20000;
constexpr int RetryIntervalMs = 50;
constexpr int AnswerTimeoutMs = 20000;

const QString CannotShowHelpText = QStringLiteral("Help cannot be shown: %1.");
const QString ViewerNotFound = QStringLiteral(
    "the help viewer pacequill-help was not found beside the program, in the build folder or on the PATH "
    "(build it with the pacequill-help target)");
const QString ViewerMissing = QStringLiteral("the help viewer %1 is missing");
const QString ViewerNotExecutable = QStringLiteral("the help viewer %1 is not executable");
const QString ViewerDidNotStart = QStringLiteral("the help viewer %1 could not be started");

HelpAnswer Refusal(const QString &reason) {
    HelpAnswer answer;
    answer.reason = reason;
    return answer;
}

enum class Reach { Viewer, Stranger, Nobody };

Reach Connect(QLocalSocket &socket, const QString &serverName) {
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return Reach::Nobody;
    if (PeerIsThisUser(socket.socketDescriptor()))
        return Reach::Viewer;
    socket.abort();
    return Reach::Stranger;
}

// Whether the process still exists; one that was denied a signal exists too.
bool Running(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

HelpRequest::Kind KindOf(HelpClient::Command command) {
    switch (command) {
    case HelpClient::Command::HelpTopics:
        return HelpRequest::Kind::Topics;
    case HelpClient::Command::HelpOnHelp:
        return HelpRequest::Kind::HelpOnHelp;
    case HelpClient::Command::Context:
        return HelpRequest::Kind::Context;
    case HelpClient::Command::ContextPopup:
        return HelpRequest::Kind::Popup;
    case HelpClient::Command::Quit:
        break;
    }
    return HelpRequest::Kind::Quit;
}
} // namespace

ViewerHelpClient::ViewerHelpClient() : ViewerHelpClient(Options{}) {}

ViewerHelpClient::ViewerHelpClient(Options opts)
    : options(std::move(opts)),
      server(options.serverName.isEmpty() ? HelpServerName() : ResolveHelpServerName(options.serverName)) {}

HelpRequest ViewerHelpClient::BuildRequest(const QString &helpFile, Command command, quint32 context) const {
    const HelpFileResolver::Target target = options.resolver.Resolve(helpFile);
    HelpRequest request;
    request.kind = KindOf(command);
    // An unresolved name still goes to the viewer, which tells the user that the help file is missing.
    request.collection =
        target.collection.isEmpty() ? HelpFileResolver::CollectionFileName(helpFile) : target.collection;
    request.window = target.window;
    request.context = command == Command::Context || command == Command::ContextPopup ? context : 0;
    return request;
}

bool ViewerHelpClient::Request(QWidget *owner, const QString &helpFile, Command command, quint32 context) {
    // The owner only matters to an engine that parents its windows to the program's; this viewer's windows are its
    // own, so they can outlive the program. It owns the message about a viewer that cannot be started.
    const HelpAnswer answer = Send(BuildRequest(helpFile, command, context));
    if (!answer.accepted && !Unstartable.isEmpty() && !UnstartableReported) {
        // Once a run: every help key would otherwise bring the same message up again.
        UnstartableReported = true;
        Prompts::MessageSpec box;
        box.Text = CannotShowHelpText.arg(Unstartable);
        box.Caption = ProgramName;
        box.BoxIcon = Prompts::Icon::Exclamation;
        Prompts::Current().Message(owner, box);
    }
    return answer.accepted;
}

HelpAnswer ViewerHelpClient::Send(const HelpRequest &request) {
    Unstartable.clear();
    const bool needsViewer = request.kind != HelpRequest::Kind::Quit && request.kind != HelpRequest::Kind::Status;
    if (!server.IsValid())
        return Refusal(server.error);

    QLocalSocket socket;
    Reach reach = Connect(socket, server.path);
    if (reach == Reach::Stranger) {
        // The requests and their answers stay between this user's processes: from now on this client uses a name
        // of its own beside the taken one, where a viewer it starts (or started before) listens.
        server = ResolveHelpServerName(server.path + u'-' + QString::number(QCoreApplication::applicationPid()));
        if (!server.IsValid())
            return Refusal(server.error);
        reach = Connect(socket, server.path);
    }
    if (reach == Reach::Nobody) {
        if (!needsViewer)
            return Refusal(QStringLiteral("help viewer not running"));
        qint64 pid = 0;
        Unstartable = StartViewer(pid);
        if (!Unstartable.isEmpty())
            return Refusal(Unstartable);
        const QDeadlineTimer deadline(StartTimeoutMs);
        bool viewerEnded = false;
        // A viewer that ended gets one more try: it may have left the requests to another that was starting.
        while (reach == Reach::Nobody && !viewerEnded && !deadline.hasExpired()) {
            viewerEnded = !Running(pid);
            QThread::msleep(RetryIntervalMs);
            reach = Connect(socket, server.path);
        }
    }
    if (reach == Reach::Stranger)
        return Refusal(QStringLiteral("help viewer socket is held by another user"));
    if (reach == Reach::Nobody)
        return Refusal(QStringLiteral("help viewer did not answer"));

    socket.write(request.Encode());
    if (!socket.waitForBytesWritten(AnswerTimeoutMs))
        return Refusal(QStringLiteral("help viewer did not take the request"));
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return Refusal(QStringLiteral("help viewer did not answer"));
    }
    const std::optional<HelpAnswer> answer = HelpAnswer::Decode(socket.readLine());
    socket.disconnectFromServer();
    return answer ? *answer : Refusal(QStringLiteral("help viewer gave an answer it does not understand"));
}

QString ViewerHelpClient::ViewerProgram() const {
    if (!options.viewerPath.isEmpty())
        return options.viewerPath;
    QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(ViewerName));
    if (QFileInfo(beside).isExecutable())
        return beside;
#ifdef PACEQUILL_HELP_VIEWER_BUILD_PATH
    if (QFileInfo(QStringLiteral(PACEQUILL_HELP_VIEWER_BUILD_PATH)).isExecutable())
        return QStringLiteral(PACEQUILL_HELP_VIEWER_BUILD_PATH);
#endif
    QStringList paths;
#ifdef PACEQUILL_HELP_BIN_DIR
    paths << QStringLiteral(PACEQUILL_HELP_BIN_DIR);
#endif
    QString found = QStandardPaths::findExecutable(QLatin1String(ViewerName));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(QLatin1String(ViewerName), paths);
    return found;
}

QString ViewerHelpClient::StartViewer(qint64 &pid) const {
    const QString program = ViewerProgram();
    if (program.isEmpty())
        return ViewerNotFound;
    const QFileInfo file(program);
    if (!file.exists())
        return ViewerMissing.arg(program);
    if (!file.isExecutable())
        return ViewerNotExecutable.arg(program);
    // The viewer outlives the program, so it must not hold on to the program's terminal or pipes.
    QProcess viewer;
    viewer.setProgram(program);
    viewer.setArguments({QStringLiteral("--server"), server.path});
    viewer.setStandardInputFile(QProcess::nullDevice());
    viewer.setStandardOutputFile(QProcess::nullDevice());
    viewer.setStandardErrorFile(QProcess::nullDevice());
    return viewer.startDetached(&pid) ? QString() : ViewerDidNotStart.arg(program);
}
