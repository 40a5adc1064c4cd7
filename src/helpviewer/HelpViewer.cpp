#include "helpviewer/HelpViewer.h"

#include "helpviewer/HelpMainWindow.h"
#include "helpviewer/HelpPopup.h"
#include "helpviewer/HelpTopicWindow.h"
#include "helpwire/LocalPeer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHelpEngine>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QLocalSocket>
#include <QMessageBox>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char SecondaryWindowName[] = "pqhw";
constexpr char ContentsId[] = "contents";
constexpr char HelpOnHelpId[] = "help-on-help";
constexpr char ContextIdPrefix[] = "ctx-";
constexpr qint64 MaxRequestBytes = qint64{64} * 1024; // a request is one short line; anything longer is not ours
// A viewer started for a request that never came (the program gave up waiting) does not linger.
constexpr int StartupGraceMs = 30000;
constexpr int ProbeTimeoutMs = 1000;
constexpr char LockSuffix[] = ".lock";

QString ContextId(quint32 context) {
    return QLatin1String(ContextIdPrefix) + QString::number(context);
}

QString SystemError(const QString &path) {
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

// Two viewers started at once would each find no one listening, and the later would take the name from the earlier:
// a lock on a file beside the socket lets one decide at a time. Returns the descriptor that holds it, or -1 when
// the lock file cannot be made, and then the viewer goes on without it.
int LockBeside(const QString &socketPath) {
    const int descriptor = ::open(QFile::encodeName(socketPath + QLatin1String(LockSuffix)).constData(),
                                  O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (descriptor >= 0) {
        while (::flock(descriptor, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    return descriptor;
}
} // namespace

HelpViewer::HelpViewer() {
    // Without access options the server binds the name itself and fails on anything already there, where with them
    // it would rename its socket over whatever held the name. The private folder keeps other users out.
    server.setSocketOptions(QLocalServer::NoOptions);
    connect(&server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server.nextPendingConnection())
            Serve(socket);
    });
    QTimer::singleShot(StartupGraceMs, this, &HelpViewer::QuitIfIdle);
}

HelpViewer::~HelpViewer() {
    CloseCollection();
}

HelpViewer::ListenResult HelpViewer::Listen(const QString &socketPath) {
    const int lock = LockBeside(socketPath);
    const ListenResult result = ListenLocked(socketPath);
    if (lock >= 0)
        ::close(lock);
    return result;
}

HelpViewer::ListenResult HelpViewer::ListenLocked(const QString &socketPath) {
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    if (probe.waitForConnected(ProbeTimeoutMs)) {
        if (PeerIsThisUser(probe.socketDescriptor()))
            return ListenResult::AlreadyRunning;
        listenError = QStringLiteral("%1 is held by another user's process").arg(socketPath);
        return ListenResult::Failed;
    }
    struct stat status {};
    if (::lstat(QFile::encodeName(socketPath).constData(), &status) == 0) {
        // Only a socket of this user that refuses connections is a viewer's that did not end cleanly.
        if (!S_ISSOCK(status.st_mode) || status.st_uid != ::geteuid()) {
            listenError = QStringLiteral("%1 is in the way and is left as it is").arg(socketPath);
            return ListenResult::Failed;
        }
        if (probe.error() != QLocalSocket::ConnectionRefusedError) {
            listenError = QStringLiteral("%1: %2").arg(socketPath, probe.errorString());
            return ListenResult::Failed;
        }
        if (::unlink(QFile::encodeName(socketPath).constData()) != 0 && errno != ENOENT) {
            listenError = SystemError(socketPath);
            return ListenResult::Failed;
        }
    } else if (errno != ENOENT) {
        listenError = SystemError(socketPath);
        return ListenResult::Failed;
    }
    if (server.listen(socketPath))
        return ListenResult::Listening;
    listenError = QStringLiteral("%1: %2").arg(socketPath, server.errorString());
    return ListenResult::Failed;
}

void HelpViewer::Serve(QLocalSocket *socket) {
    // Requests are taken from this user's own processes only.
    if (!PeerIsThisUser(socket->socketDescriptor())) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        while (socket->canReadLine()) {
            const std::optional<HelpRequest> request = HelpRequest::Decode(socket->readLine(MaxRequestBytes));
            const bool quit = request && request->kind == HelpRequest::Kind::Quit;
            const HelpAnswer answer =
                request ? Handle(*request) : HelpAnswer{false, QStringLiteral("unknown request"), {}};
            socket->write(answer.Encode());
            socket->flush();
            if (quit) {
                socket->waitForBytesWritten();
                // Stop taking connections at once: a client that connected while the event loop winds down would
                // wait for an answer that never comes, instead of starting a viewer of its own.
                server.close();
                QCoreApplication::quit();
            }
        }
        if (socket->bytesAvailable() > MaxRequestBytes)
            socket->abort();
    });
}

HelpAnswer HelpViewer::Handle(const HelpRequest &request) {
    switch (request.kind) {
    case HelpRequest::Kind::Status:
        return Accept();
    case HelpRequest::Kind::Quit:
        for (QWidget *window : Windows())
            window->hide();
        return Accept();
    default:
        break;
    }

    if (!OpenCollection(request.collection)) {
        const QString message = tr("The help file \"%1\" could not be found or opened.")
                                    .arg(QFileInfo(request.collection).completeBaseName() + QStringLiteral(".hlp"));
        return Refuse(collectionError.isEmpty() ? message : message + u'\n' + collectionError);
    }

    switch (request.kind) {
    case HelpRequest::Kind::Topics:
        mainWindow->ShowContents();
        break;
    case HelpRequest::Kind::HelpOnHelp:
        mainWindow->ShowTopic(TopicFor(QLatin1String(HelpOnHelpId)));
        break;
    case HelpRequest::Kind::Context:
    case HelpRequest::Kind::Popup: {
        const QUrl topic = TopicFor(ContextId(request.context));
        if (topic.isEmpty())
            return Refuse(tr("No help topic has the context number %1.").arg(request.context));
        if (request.kind == HelpRequest::Kind::Popup)
            popup->ShowTopic(topic, QCursor::pos());
        else if (request.window == QLatin1String(SecondaryWindowName))
            secondaryWindow->ShowTopic(topic);
        else
            mainWindow->ShowTopic(topic);
        break;
    }
    default:
        break;
    }
    return Accept();
}

bool HelpViewer::OpenCollection(const QString &collection) {
    if (engine && openCollection == collection)
        return true;

    CloseCollection();
    const HelpCollectionCache::Copy copy = cache.Prepare(collection);
    collectionError = copy.error;
    if (!copy.error.isEmpty())
        return false;
    engine = std::make_unique<QHelpEngine>(copy.path);
    engine->setUsesFilterEngine(true);
    if (!engine->setupData() || engine->registeredDocumentations().isEmpty()) {
        collectionError = engine->error();
        engine.reset();
        return false;
    }
    openCollection = collection;
    engine->searchEngine()->reindexDocumentation();

    mainWindow = std::make_unique<HelpMainWindow>(*engine, TopicFor(QLatin1String(ContentsId)));
    secondaryWindow = std::make_unique<HelpTopicWindow>(*engine);
    popup = std::make_unique<HelpPopup>(*engine);
    Watch(mainWindow.get());
    Watch(secondaryWindow.get());
    Watch(popup.get());
    return true;
}

void HelpViewer::CloseCollection() {
    // The windows hold the engine's widgets, so they go first.
    popup.reset();
    secondaryWindow.reset();
    mainWindow.reset();
    engine.reset();
    openCollection.clear();
}

QUrl HelpViewer::TopicFor(const QString &identifier) const {
    const QList<QHelpLink> links = engine->documentsForIdentifier(identifier);
    return links.isEmpty() ? QUrl() : links.first().url;
}

HelpAnswer HelpViewer::Refuse(const QString &message) {
    if (!notice) {
        notice = std::make_unique<QMessageBox>(QMessageBox::Warning, tr("Pacequill Help"), QString(), QMessageBox::Ok);
        notice->setObjectName(QStringLiteral("message"));
        notice->setWindowModality(Qt::NonModal);
        Watch(notice.get());
    }
    notice->setText(message);
    notice->show();
    notice->raise();
    HelpAnswer answer = Accept();
    answer.accepted = false;
    answer.reason = message;
    return answer;
}

HelpAnswer HelpViewer::Accept() const {
    HelpAnswer answer;
    answer.accepted = true;
    for (QWidget *window : Windows()) {
        QString shown;
        if (window == mainWindow.get())
            shown = mainWindow->Topic().toString();
        else if (window == secondaryWindow.get())
            shown = secondaryWindow->Topic().toString();
        else if (window == popup.get())
            shown = popup->source().toString();
        else if (window == notice.get())
            shown = notice->text();
        answer.windows.insert(window->objectName(), shown);
    }
    return answer;
}

QList<QWidget *> HelpViewer::Windows() const {
    QList<QWidget *> visible;
    for (QWidget *window :
         std::initializer_list<QWidget *>{mainWindow.get(), secondaryWindow.get(), popup.get(), notice.get()}) {
        if (window && window->isVisible())
            visible << window;
    }
    return visible;
}

void HelpViewer::Watch(QWidget *window) {
    window->installEventFilter(this);
}

bool HelpViewer::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Hide)
        QTimer::singleShot(0, this, &HelpViewer::QuitIfIdle);
    return QObject::eventFilter(watched, event);
}

void HelpViewer::QuitIfIdle() {
    if (Windows().isEmpty()) {
        server.close();
        QCoreApplication::quit();
    }
}
