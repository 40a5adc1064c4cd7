#include "shell/ViewerHelpClient.h"

#include "support/ScriptedPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
constexpr int SlowStartSeconds = 5;
// How long a viewer may take to start listening or to quit: seconds on a machine busy with other tests.
constexpr int ViewerWaitMs = 30'000;
} // namespace

// Drives the real pacequill-help viewer through the program's help client, on a socket and a cache of this test
// run's own, so a user's running viewer is never touched.
class tst_HelpClient : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void eachRequestShowsItsWindow_data();
    void eachRequestShowsItsWindow();
    void secondClientReusesTheViewer();
    void slowlyStartingViewerIsAwaited();
    void secondViewerLeavesTheFirstInCharge();
    void quitClosesTheViewer();
    void quitAndStatusNeverStartAViewer();
    void unknownContextIsRefused();
    void missingCollectionIsRefused();
    void missingViewerIsRefused_data();
    void missingViewerIsRefused();
    void staleSocketIsReplaced();
    void programsClientFindsViewerAndCollection();

private:
    ViewerHelpClient::Options Options() const;
    HelpAnswer Status(ViewerHelpClient &client);
    bool ViewerRunning();

    QTemporaryDir runtime;
    QString serverName;
};

void tst_HelpClient::initTestCase() {
    QVERIFY(runtime.isValid());
    QVERIFY2(QFileInfo::exists(PACEQUILL_HELP_COLLECTION), "the help collection was not built");
    serverName = runtime.filePath("help");
    // The viewer inherits these: its socket and its cached collection stay inside this run's directory.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(runtime.filePath("cache")));
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

ViewerHelpClient::Options tst_HelpClient::Options() const {
    return {serverName, PACEQUILL_HELP_VIEWER, HelpFileResolver({QFileInfo(PACEQUILL_HELP_COLLECTION).absolutePath()})};
}

HelpAnswer tst_HelpClient::Status(ViewerHelpClient &client) {
    HelpRequest status;
    status.kind = HelpRequest::Kind::Status;
    return client.Send(status);
}

bool tst_HelpClient::ViewerRunning() {
    ViewerHelpClient client(Options());
    return Status(client).accepted;
}

void tst_HelpClient::cleanup() {
    ViewerHelpClient client(Options());
    client.Request(nullptr, "pacequill.hlp", HelpClient::Command::Quit);
    QTRY_VERIFY_WITH_TIMEOUT(!ViewerRunning(), ViewerWaitMs);
}

void tst_HelpClient::eachRequestShowsItsWindow_data() {
    QTest::addColumn<QString>("helpFile");
    QTest::addColumn<int>("command");
    QTest::addColumn<quint32>("context");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("topic");

    using C = HelpClient::Command;
    QTest::newRow("Using Pacequill") << "pacequill.hlp" << int(C::HelpTopics) << 0u << "main"
                                     << "index.html";
    QTest::newRow("Using Help") << "pacequill.hlp" << int(C::HelpOnHelp) << 0u << "main"
                                << "using-help.html";
    QTest::newRow("editor Help button") << "pacequill.hlp>pqhw" << int(C::Context) << 30001u << "pqhw"
                                        << "ctx-30001.html";
    QTest::newRow("statistics Help button") << "pacequill.hlp>pqhw" << int(C::Context) << 40001u << "pqhw"
                                            << "ctx-40001.html";
    QTest::newRow("command pop-up") << "pacequill.hlp" << int(C::ContextPopup) << 24332u << "popup"
                                    << "ctx-24332.html";
    QTest::newRow("control pop-up") << ".\\pacequill.hlp" << int(C::ContextPopup) << 609u << "popup"
                                    << "ctx-609.html";
}

void tst_HelpClient::eachRequestShowsItsWindow() {
    QFETCH(QString, helpFile);
    QFETCH(int, command);
    QFETCH(quint32, context);
    QFETCH(QString, window);
    QFETCH(QString, topic);

    ViewerHelpClient client(Options());
    QVERIFY(client.Request(nullptr, helpFile, static_cast<HelpClient::Command>(command), context));
    const HelpAnswer status = Status(client);
    QVERIFY(status.accepted);
    QCOMPARE(status.windows.keys(), QStringList{window});
    QVERIFY2(status.windows.value(window).endsWith('/' + topic), qPrintable(status.windows.value(window)));
}

void tst_HelpClient::secondClientReusesTheViewer() {
    ViewerHelpClient first(Options());
    QVERIFY(first.Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpTopics));
    // A second program instance has a client of its own; its request lands in the same viewer, beside the window
    // the first one opened.
    ViewerHelpClient second(Options());
    QVERIFY(second.Request(nullptr, "pacequill.hlp>pqhw", HelpClient::Command::Context, 30001));
    const HelpAnswer status = Status(first);
    QCOMPARE(status.windows.keys(), (QStringList{"main", "pqhw"}));
}

void tst_HelpClient::slowlyStartingViewerIsAwaited() {
    // On a loaded machine a viewer takes seconds before it listens; the client waits for it instead of refusing.
    const QString slowViewer = runtime.filePath("slow-viewer");
    QFile script(slowViewer);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nsleep " + QByteArray::number(SlowStartSeconds) +
                 "\nexec '" PACEQUILL_HELP_VIEWER "' \"$@\"\n");
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ViewerHelpClient::Options options = Options();
    options.viewerPath = slowViewer;
    ViewerHelpClient client(std::move(options));
    QVERIFY(client.Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpTopics));
    QCOMPARE(Status(client).windows.keys(), QStringList{"main"});
}

void tst_HelpClient::secondViewerLeavesTheFirstInCharge() {
    ViewerHelpClient client(Options());
    QVERIFY(client.Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpTopics));
    QProcess second;
    second.start(PACEQUILL_HELP_VIEWER, {"--server", serverName});
    QVERIFY(second.waitForFinished());
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(Status(client).windows.keys(), QStringList{"main"});
}

void tst_HelpClient::quitClosesTheViewer() {
    ViewerHelpClient client(Options());
    QVERIFY(client.Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpTopics));
    QVERIFY(client.Request(nullptr, "pacequill.hlp", HelpClient::Command::Quit));
    QTRY_VERIFY_WITH_TIMEOUT(!ViewerRunning(), ViewerWaitMs);
}

void tst_HelpClient::quitAndStatusNeverStartAViewer() {
    ViewerHelpClient client(Options());
    QVERIFY(!client.Request(nullptr, "pacequill.hlp", HelpClient::Command::Quit));
    QVERIFY(!Status(client).accepted);
    QTest::qWait(300);
    QVERIFY(!ViewerRunning());
}

void tst_HelpClient::unknownContextIsRefused() {
    ViewerHelpClient client(Options());
    QVERIFY(!client.Request(nullptr, "pacequill.hlp", HelpClient::Command::ContextPopup, 99999));
    // The viewer tells the user, as a help engine does; the program itself shows nothing.
    QCOMPARE(Status(client).windows.keys(), QStringList{"message"});
}

void tst_HelpClient::missingCollectionIsRefused() {
    ViewerHelpClient::Options options = Options();
    options.resolver = HelpFileResolver({runtime.filePath("nowhere")});
    ViewerHelpClient client(std::move(options));
    QVERIFY(!client.Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpTopics));
    const HelpAnswer status = Status(client);
    QCOMPARE(status.windows.keys(), QStringList{"message"});
    QVERIFY(status.windows.value("message").contains("pacequill.hlp"));
}

void tst_HelpClient::missingViewerIsRefused_data() {
    QTest::addColumn<QString>("viewer");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << "no-such-viewer"
                             << "Help cannot be shown: the help viewer %1 is missing.";
    QTest::newRow("not executable") << "plain-file"
                                    << "Help cannot be shown: the help viewer %1 is not executable.";
}

// The user hears once what is missing; every later help key is refused without a word.
void tst_HelpClient::missingViewerIsRefused() {
    QFETCH(QString, viewer);
    QFETCH(QString, message);
    QFile plain(runtime.filePath("plain-file"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    ScriptedPrompts prompts;
    ViewerHelpClient::Options options = Options();
    options.viewerPath = runtime.filePath(viewer);
    ViewerHelpClient client(std::move(options));
    QVERIFY(!client.Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpTopics));
    QVERIFY(!client.Request(nullptr, "pacequill.hlp", HelpClient::Command::ContextPopup, 24332));
    QVERIFY(!ViewerRunning());
    QCOMPARE(prompts.Messages.size(), 1);
    QCOMPARE(prompts.Messages[0].Text, message.arg(runtime.filePath(viewer)));
    QCOMPARE(prompts.Messages[0].Caption, QStringLiteral("Pacequill 3.1"));
}

void tst_HelpClient::staleSocketIsReplaced() {
    // A viewer that dies without cleaning up leaves its socket file behind.
    QProcess crashed;
    crashed.start(PACEQUILL_HELP_VIEWER, {"--server", serverName});
    QVERIFY(crashed.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(ViewerRunning(), ViewerWaitMs);
    crashed.kill();
    QVERIFY(crashed.waitForFinished());
    QVERIFY(QFileInfo::exists(serverName));

    ViewerHelpClient client(Options());
    QVERIFY(client.Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpOnHelp));
    QCOMPARE(Status(client).windows.keys(), QStringList{"main"});
}

void tst_HelpClient::programsClientFindsViewerAndCollection() {
    // The client the program gets, with nothing but the server name chosen by the test: it must find the viewer
    // and the collection of this build by itself.
    qputenv("PACEQUILL_HELP_SERVER", QFile::encodeName(serverName));
    const std::unique_ptr<HelpClient> client = CreateHelpClient();
    qunsetenv("PACEQUILL_HELP_SERVER");
    QVERIFY(client->Request(nullptr, "pacequill.hlp", HelpClient::Command::HelpTopics));
    ViewerHelpClient probe(Options());
    QCOMPARE(Status(probe).windows.keys(), QStringList{"main"});
}

QTEST_MAIN(tst_HelpClient)
#include "tst_HelpClient.moc"
