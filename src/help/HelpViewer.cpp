#include "help/HelpViewer.h"

#include "help/HelpMainWindow.h"
#include "help/HelpPopup.h"
#include "help/HelpTopicWindow.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHelpEngine>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QLocalSocket>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

namespace {
constexpr char SecondaryWindowName[] = "pqhw";
constexpr char ContentsId[] = "contents";
constexpr char HelpOnHelpId[] = "help-on-help";
constexpr char ContextIdPrefix[] = "ctx-";
constexpr qint64 MaxRequestBytes = 64 * 1024; // a request is one short line; anything longer is not ours
// A viewer started for a request that never came (the program gave up waiting) does not linger.
constexpr int StartupGraceMs = 30000;
constexpr int ProbeTimeoutMs = 1000;

QString ContextId(quint32 context) {
    return QLatin1String(ContextIdPrefix) + QString::number(context);
}

// The search index is written beside the collection, and an installed collection is read-only, so the viewer
// works on a copy in its cache: the collection and the documentation files it refers to.
QString CachedCollection(const QString &collection) {
    const QFileInfo source(collection);
    const QByteArray key = QCryptographicHash::hash(source.absolutePath().toUtf8(), QCryptographicHash::Sha1).toHex();
    const QDir cache(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u'/' + QString::fromLatin1(key));
    if (!cache.mkpath(QStringLiteral(".")))
        return {};
    const QStringList files =
        QDir(source.absolutePath()).entryList({source.fileName(), QStringLiteral("*.qch")}, QDir::Files);
    for (const QString &name : files) {
        const QString target = cache.filePath(name);
        QFile::remove(target);
        if (!QFile::copy(QDir(source.absolutePath()).filePath(name), target))
            return {};
        QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    return cache.filePath(source.fileName());
}
} // namespace

HelpViewer::HelpViewer() {
    server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server.nextPendingConnection())
            Serve(socket);
    });
    QTimer::singleShot(StartupGraceMs, this, &HelpViewer::QuitIfIdle);
}

HelpViewer::~HelpViewer() {
    CloseCollection();
}

HelpViewer::ListenResult HelpViewer::Listen(const QString &serverName) {
    // Listening with access options replaces an existing socket file instead of failing, so a running viewer is
    // looked for first.
    QLocalSocket probe;
    probe.connectToServer(serverName);
    if (probe.waitForConnected(ProbeTimeoutMs))
        return ListenResult::AlreadyRunning;
    // Whatever is left under the name belongs to a viewer that did not end cleanly.
    QLocalServer::removeServer(serverName);
    return server.listen(serverName) ? ListenResult::Listening : ListenResult::Failed;
}

void HelpViewer::Serve(QLocalSocket *socket) {
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

    if (!OpenCollection(request.collection))
        return Refuse(tr("The help file \"%1\" could not be found or opened.")
                          .arg(QFileInfo(request.collection).completeBaseName() + QStringLiteral(".hlp")));

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
    const QFileInfo source(collection);
    if (!source.isAbsolute() || !source.isFile())
        return false;
    if (engine && openCollection == source.absoluteFilePath())
        return true;

    CloseCollection();
    const QString copy = CachedCollection(source.absoluteFilePath());
    if (copy.isEmpty())
        return false;
    engine = std::make_unique<QHelpEngine>(copy);
    engine->setUsesFilterEngine(true);
    if (!engine->setupData() || engine->registeredDocumentations().isEmpty()) {
        engine.reset();
        return false;
    }
    openCollection = source.absoluteFilePath();
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
