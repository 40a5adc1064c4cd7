#include "helpwire/HelpAnswer.h"
#include "helpwire/HelpRequest.h"
#include "shell/ViewerHelpClient.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <sys/fsuid.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/FileBytes.h"

// The help viewer's socket against another local user: a name taken before the program starts, a socket of another
// user's process where the program's own should be, a stranger knocking at the viewer, a server name that points at
// something else, and a request that names any file as the collection. The drills that need another user run as the
// superuser, which lends a child process the user "nobody".
class tst_HelpSocket : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nameTakenBeforeIsNotUsed();
    void strangersSocketIsRefused();
    void viewerRefusesAStranger();
    void serverNameAtSomethingElse_data();
    void serverNameAtSomethingElse();
    void foreignFileIsNotTakenAsCollection_data();
    void foreignFileIsNotTakenAsCollection();

private:
    void UsePrivateRuntime();
    ViewerHelpClient &Client();
    HelpAnswer Status();
    pid_t Impostor(const QString &path);

    std::unique_ptr<QTemporaryDir> base;
    std::unique_ptr<ViewerHelpClient> client;
    QList<pid_t> children;
    int reports[2] = {-1, -1};
};

namespace {
constexpr uid_t OtherUser = 65534; // nobody
constexpr int Backlog = 8;
constexpr int AnswerWaitMs = 5000;
constexpr int ViewerExitWaitMs = 10000;
constexpr char StrangerAnswered = 1;
constexpr char StrangerTurnedAway = 0;

bool Superuser() {
    return ::geteuid() == 0;
}

// In a child: becomes the other user towards every peer while keeping the superuser's access to files, so that it
// can reach into the test's private folders; a peer sees the effective user. The child ends with the test.
bool BecomeStranger(pid_t test) {
    if (Superuser()) {
        if (::seteuid(OtherUser) != 0)
            return false;
        ::setfsuid(0);
    }
    return ::prctl(PR_SET_PDEATHSIG, SIGKILL) == 0 && ::getppid() == test;
}

bool FillAddress(const QByteArray &path, sockaddr_un &address) {
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), path.size());
    return true;
}

QStringList FilesUnder(const QString &folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QFileInfo(it.next()).fileName();
    return files;
}
} // namespace

void tst_HelpSocket::init() {
    QVERIFY2(QFileInfo::exists(PACEQUILL_HELP_COLLECTION), "the help collection was not built");
    base = std::make_unique<QTemporaryDir>();
    QVERIFY(base->isValid());
    // Reachable by the stranger, as the system's temporary folder is.
    QVERIFY(QDir(base->path()).mkdir("tmp"));
    QVERIFY(QFile::setPermissions(base->path(), QFile::permissions(base->path()) | QFile::ExeOther));
    QCOMPARE(::chmod(QFile::encodeName(base->filePath("tmp")).constData(), 01777), 0);
    qputenv("TMPDIR", QFile::encodeName(base->filePath("tmp")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(base->filePath("cache")));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("PACEQUILL_HELP_SERVER");
    QCOMPARE(::pipe2(reports, O_CLOEXEC | O_NONBLOCK), 0);
}

void tst_HelpSocket::cleanup() {
    for (const pid_t child : std::as_const(children)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    children.clear();
    ::close(reports[0]);
    ::close(reports[1]);
    if (client) {
        client->Request(nullptr, "pacequill.hlp", HelpClient::Command::Quit);
        QTRY_VERIFY(!Status().accepted);
    }
    client.reset();
    base.reset();
}

void tst_HelpSocket::UsePrivateRuntime() {
    QVERIFY(QDir(base->path()).mkdir("runtime"));
    QVERIFY(QFile::setPermissions(base->filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base->filePath("runtime")));
}

ViewerHelpClient &tst_HelpSocket::Client() {
    if (!client)
        client = std::make_unique<ViewerHelpClient>(ViewerHelpClient::Options{
            {}, PACEQUILL_HELP_VIEWER, HelpFileResolver({QFileInfo(PACEQUILL_HELP_COLLECTION).absolutePath()})});
    return *client;
}

HelpAnswer tst_HelpSocket::Status() {
    HelpRequest status;
    status.kind = HelpRequest::Kind::Status;
    return Client().Send(status);
}

// Listens at the path as the stranger, answers every request with a forged acceptance and reports each request
// through the pipe. Returns once it listens.
pid_t tst_HelpSocket::Impostor(const QString &path) {
    HelpAnswer forged;
    forged.accepted = true;
    const QByteArray answer = forged.Encode();
    const QByteArray name = QFile::encodeName(path);
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t test = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        sockaddr_un address{};
        const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (!BecomeStranger(test) || !FillAddress(name, address) ||
            ::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
            ::listen(listener, Backlog) != 0 || ::write(ready[1], "r", 1) != 1)
            ::_exit(1);
        for (;;) {
            const int peer = ::accept(listener, nullptr, nullptr);
            char request[4096];
            if (peer >= 0 && ::read(peer, request, sizeof request) > 0 && ::write(reports[1], "q", 1) == 1 &&
                ::write(peer, answer.constData(), answer.size()) < 0)
                ::_exit(1);
            ::close(peer);
        }
    }
    ::close(ready[1]);
    char byte = 0;
    const bool listening = pid > 0 && ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    if (pid > 0)
        children << pid;
    return listening ? pid : -1;
}

void tst_HelpSocket::nameTakenBeforeIsNotUsed() {
    // Without a runtime folder the socket used to be a well-known name in the temporary folder, which any local
    // user could take before the user's own viewer started.
    QVERIFY(Impostor(base->filePath("tmp/pacequill-help-" + QString::number(::geteuid()))) > 0);
    QVERIFY(Client().Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpTopics));
    QCOMPARE(Status().windows.keys(), QStringList{"main"});
    char report = 0;
    QCOMPARE(::read(reports[0], &report, 1), -1); // the impostor saw no request
}

void tst_HelpSocket::strangersSocketIsRefused() {
    if (!Superuser())
        QSKIP("a process of another user can only be made by the superuser");
    UsePrivateRuntime();
    QVERIFY(Impostor(base->filePath("runtime/pacequill-help")) > 0);
    // The program's requests go to a viewer of its own, and the answers come from it.
    QVERIFY(Client().Request(nullptr, "pacequill.hlp>pqhw", HelpClient::Command::Context, 30001));
    QCOMPARE(Status().windows.keys(), QStringList{"pqhw"});
    char report = 0;
    QCOMPARE(::read(reports[0], &report, 1), -1);
    QVERIFY(QFileInfo::exists(base->filePath("runtime/pacequill-help")));
}

void tst_HelpSocket::viewerRefusesAStranger() {
    if (!Superuser())
        QSKIP("a process of another user can only be made by the superuser");
    UsePrivateRuntime();
    QVERIFY(Client().Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpTopics));

    HelpRequest request;
    request.kind = HelpRequest::Kind::Status;
    const QByteArray line = request.Encode();
    const QByteArray name = QFile::encodeName(base->filePath("runtime/pacequill-help"));
    const pid_t test = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        sockaddr_un address{};
        const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (!BecomeStranger(test) || !FillAddress(name, address) ||
            ::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
            ::write(socket, line.constData(), line.size()) != line.size())
            ::_exit(StrangerTurnedAway);
        pollfd answer{socket, POLLIN, 0};
        char byte = 0;
        ::_exit(::poll(&answer, 1, AnswerWaitMs) == 1 && ::read(socket, &byte, 1) == 1 ? StrangerAnswered
                                                                                       : StrangerTurnedAway);
    }
    QVERIFY(pid > 0);
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), int(StrangerTurnedAway));
    // The viewer goes on serving its own user.
    QCOMPARE(Status().windows.keys(), QStringList{"main"});
}

void tst_HelpSocket::serverNameAtSomethingElse_data() {
    QTest::addColumn<QString>("name");   // "@" stands for the private folder, "~" for the test's folder
    QTest::addColumn<QString>("target"); // what lies at the name; "link" entries point at ~/elsewhere/file
    QTest::addColumn<bool>("fromEnvironment");
    QTest::newRow("regular file in the private folder") << "@/file"
                                                        << "@/file" << false;
    QTest::newRow("regular file named plainly") << "file"
                                                << "@/file" << false;
    QTest::newRow("regular file passed through the environment") << "@/file"
                                                                 << "@/file" << true;
    QTest::newRow("regular file elsewhere") << "~/elsewhere/file"
                                            << "~/elsewhere/file" << false;
    QTest::newRow("elsewhere, through the environment") << "~/elsewhere/file"
                                                        << "~/elsewhere/file" << true;
    QTest::newRow("link in the private folder") << "@/link"
                                                << "@/link" << false;
    QTest::newRow("the lock beside the socket") << "pacequill-help.lock"
                                                << "@/pacequill-help.lock" << false;
}

void tst_HelpSocket::serverNameAtSomethingElse() {
    QFETCH(QString, name);
    QFETCH(QString, target);
    QFETCH(bool, fromEnvironment);
    UsePrivateRuntime();
    for (QString *path : {&name, &target})
        path->replace('@', base->filePath("runtime")).replace('~', base->path());
    const QString elsewhere = base->filePath("elsewhere/file");
    QVERIFY(QDir(base->path()).mkdir("elsewhere"));
    const QByteArray kept("a file of the user's");
    QFile file(elsewhere);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kept) == kept.size());
    file.close();
    if (target.endsWith("/link"))
        QVERIFY(QFile::link(elsewhere, target));
    else if (target != elsewhere)
        QVERIFY(QFile::copy(elsewhere, target));

    QProcess viewer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (fromEnvironment)
        environment.insert("PACEQUILL_HELP_SERVER", name);
    viewer.setProcessEnvironment(environment);
    viewer.start(PACEQUILL_HELP_VIEWER, fromEnvironment ? QStringList() : QStringList{"--server", name});
    const bool ended = viewer.waitForFinished(ViewerExitWaitMs);
    if (!ended)
        viewer.kill();
    QVERIFY2(ended, "the viewer took the name and listens");
    QCOMPARE(viewer.exitCode(), 1);
    QVERIFY(!viewer.readAllStandardError().isEmpty());
    QCOMPARE(QFileInfo(target).isSymLink(), target.endsWith("/link"));
    QCOMPARE(FileBytes(target), kept);
    QCOMPARE(FileBytes(elsewhere), kept);
}

void tst_HelpSocket::foreignFileIsNotTakenAsCollection_data() {
    QTest::addColumn<QString>("collection");
    QTest::addColumn<qint64>("size"); // a file of this size made at "~/big.qhc", starting as a database does
    QTest::newRow("a system file") << "/etc/passwd" << qint64(0);
    QTest::newRow("a file too large") << "~/big.qhc" << (qint64(1) << 30);
}

void tst_HelpSocket::foreignFileIsNotTakenAsCollection() {
    QFETCH(QString, collection);
    QFETCH(qint64, size);
    UsePrivateRuntime();
    collection.replace('~', base->path());
    if (size > 0) {
        QFile big(collection);
        QVERIFY(big.open(QIODevice::WriteOnly) && big.write("SQLite format 3", 16) == 16 && big.resize(size));
    }
    HelpRequest request;
    request.kind = HelpRequest::Kind::Topics;
    request.collection = collection;
    QVERIFY(!Client().Send(request).accepted);
    QCOMPARE(Status().windows.keys(), QStringList{"message"});
    const QStringList cached = FilesUnder(base->filePath("cache"));
    QVERIFY2(!cached.contains(QFileInfo(collection).fileName()), qPrintable(cached.join(' ')));
}

QTEST_MAIN(tst_HelpSocket)
#include "tst_HelpSocket.moc"
