#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

#include "frame/CommandEvent.h"
#include "frame/CommandIds.h"
#include "frame/CommandRouter.h"
#include "frame/CommandTarget.h"
#include "shell/TSDIDecFrame.h"

namespace {

constexpr int TestCommand = 31000;
// How a target in the table below answers: no response, a handler, or a handler with an enabler.
enum Answer { None, Handles, HandlesEnabled, HandlesDisabled, EnablesOnly, DisablesOnly };

class TargetWidget : public QWidget, public CommandTarget {
public:
    explicit TargetWidget(QString name, QWidget *parent = nullptr) : QWidget(parent), Name(std::move(name)) {}
    void Respond(int command, Answer response, QString *handledBy) {
        const Handler handler = [this, handledBy] { *handledBy = Name; };
        switch (response) {
        case None:
            break;
        case Handles:
            AddResponse(command, handler);
            break;
        case HandlesEnabled:
            AddResponse(command, handler, [] { return true; });
            break;
        case HandlesDisabled:
            AddResponse(command, handler, [] { return false; });
            break;
        case EnablesOnly:
            AddEnabler(command, [] { return true; });
            break;
        case DisablesOnly:
            AddEnabler(command, [] { return false; });
            break;
        }
    }
    QString Name;
};

class Application : public CommandTarget {};

// Catches the command events that actions post to the application.
class CommandCatcher : public QObject {
public:
    QList<int> Commands;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == CommandEvent::EventType())
            Commands.append(static_cast<CommandEvent *>(event)->Command());
        return false;
    }
};

} // namespace

class TestCommandRouter : public QObject {
    Q_OBJECT
private slots:
    void routeAndEnable_data();
    void routeAndEnable();
    void siblingOutsideTheFocusChainTakesNoPart();
    void focusOnADecorationKeepsTheClientChain();
    void menuEnablingOnOpen();
    void toolbarEnablingWhenIdle();
    void actionsPostCommandsToTheApplication();
};

void TestCommandRouter::routeAndEnable_data() {
    QTest::addColumn<int>("leaf");
    QTest::addColumn<int>("client");
    QTest::addColumn<int>("application");
    QTest::addColumn<QString>("handledBy");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("nobody") << int(None) << int(None) << int(None) << "" << false;
    QTest::newRow("focus window first") << int(Handles) << int(Handles) << int(Handles) << "leaf" << true;
    QTest::newRow("parent of the focus") << int(None) << int(Handles) << int(Handles) << "client" << true;
    QTest::newRow("application last") << int(None) << int(None) << int(Handles) << "application" << true;
    QTest::newRow("first enabler decides")
        << int(None) << int(HandlesDisabled) << int(EnablesOnly) << "client" << false;
    QTest::newRow("enabler before the handler") << int(DisablesOnly) << int(Handles) << int(None) << "client" << false;
    QTest::newRow("enabler lower in the chain") << int(Handles) << int(HandlesDisabled) << int(None) << "leaf" << false;
    QTest::newRow("application enabler after the chain")
        << int(None) << int(Handles) << int(DisablesOnly) << "client" << false;
    QTest::newRow("enabler without any handler") << int(EnablesOnly) << int(None) << int(None) << "" << true;
}

void TestCommandRouter::routeAndEnable() {
    QFETCH(int, leaf);
    QFETCH(int, client);
    QFETCH(int, application);
    QFETCH(QString, handledBy);
    QFETCH(bool, enabled);

    QString handled;
    Application app;
    auto *clientWidget = new TargetWidget(QStringLiteral("client"));
    auto *plain = new QWidget(clientWidget); // not a command target: skipped
    auto *leafWidget = new TargetWidget(QStringLiteral("leaf"), plain);
    auto *edit = new QLineEdit(leafWidget);
    TSDIDecFrame frame(clientWidget, &app);
    edit->setFocus();

    leafWidget->Respond(TestCommand, Answer(leaf), &handled);
    clientWidget->Respond(TestCommand, Answer(client), &handled);
    const CommandTarget::Handler handler = [&handled] { handled = QStringLiteral("application"); };
    if (application == Handles)
        app.AddResponse(TestCommand, handler);
    else if (application == EnablesOnly)
        app.AddEnabler(TestCommand, [] { return true; });
    else if (application == DisablesOnly)
        app.AddEnabler(TestCommand, [] { return false; });

    QCOMPARE(frame.Router().Chain().size(), 2);
    QCOMPARE(frame.Router().IsEnabled(TestCommand), enabled);
    QCOMPARE(frame.Router().Route(TestCommand), !handledBy.isEmpty());
    QCOMPARE(handled, handledBy);
}

void TestCommandRouter::siblingOutsideTheFocusChainTakesNoPart() {
    QString handled;
    auto *client = new TargetWidget(QStringLiteral("client"));
    auto *focused = new TargetWidget(QStringLiteral("focused"), client);
    auto *sibling = new TargetWidget(QStringLiteral("sibling"), client);
    auto *edit = new QLineEdit(focused);
    sibling->Respond(TestCommand, Handles, &handled);
    TSDIDecFrame frame(client, nullptr);
    edit->setFocus();
    QVERIFY(!frame.Router().IsEnabled(TestCommand));
    QVERIFY(!frame.Router().Route(TestCommand));
    QVERIFY(handled.isEmpty());
}

void TestCommandRouter::focusOnADecorationKeepsTheClientChain() {
    QString handled;
    auto *client = new TargetWidget(QStringLiteral("client"));
    auto *focused = new TargetWidget(QStringLiteral("focused"), client);
    auto *edit = new QLineEdit(focused);
    focused->Respond(TestCommand, Handles, &handled);
    TSDIDecFrame frame(client, nullptr);
    edit->setFocus();
    // The menu bar takes the focus in keyboard mode; the command still goes where the focus was.
    frame.menuBar()->setFocus();
    QCOMPARE(frame.focusWidget(), frame.menuBar());
    QVERIFY(frame.Router().IsEnabled(TestCommand));
    QVERIFY(frame.Router().Route(TestCommand));
    QCOMPARE(handled, QStringLiteral("focused"));
}

void TestCommandRouter::menuEnablingOnOpen() {
    QString handled;
    auto *client = new TargetWidget(QStringLiteral("client"));
    client->Respond(Cmd::FileSave, Handles, &handled);
    client->Respond(Cmd::FileSaveAs, Handles, &handled);
    TSDIDecFrame frame(client, nullptr);
    QAction *save = frame.MenuAction(Cmd::FileSave);
    QVERIFY(!save->isEnabled()); // grey until the File menu first opens
    QVERIFY(!frame.MenuAction(Cmd::FileSaveAs)->isEnabled());
    QVERIFY(frame.MenuAction(Cmd::FileOpen)->isEnabled());

    emit frame.menuBar()->actions().first()->menu()->aboutToShow();
    QVERIFY(save->isEnabled());
    QVERIFY(frame.MenuAction(Cmd::FileSaveAs)->isEnabled());
    QVERIFY(!frame.MenuAction(Cmd::FileOpen)->isEnabled()); // nobody handles it here
}

void TestCommandRouter::toolbarEnablingWhenIdle() {
    QString handled;
    auto *client = new TargetWidget(QStringLiteral("client"));
    client->Respond(Cmd::FileNew, Handles, &handled);
    client->Respond(Cmd::DeleteEntry, HandlesDisabled, &handled);
    TSDIDecFrame frame(client, nullptr);
    for (QAction *action : frame.DockHost()->actions())
        QVERIFY(!CommandRouter::CommandOf(action) || !action->isEnabled());

    // Let the event loop go idle once.
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
    QVERIFY(frame.ToolbarAction(Cmd::FileNew)->isEnabled());
    QVERIFY(!frame.ToolbarAction(Cmd::DeleteEntry)->isEnabled());
    QVERIFY(!frame.ToolbarAction(Cmd::FileOpen)->isEnabled());
}

void TestCommandRouter::actionsPostCommandsToTheApplication() {
    CommandCatcher catcher;
    qApp->installEventFilter(&catcher);
    TSDIDecFrame frame(new QWidget, nullptr);
    frame.ToolbarAction(Cmd::StatsYearly)->setEnabled(true);
    frame.ToolbarAction(Cmd::StatsYearly)->trigger();
    frame.MenuAction(Cmd::Exit)->trigger();
    QVERIFY(catcher.Commands.isEmpty()); // posted, not sent
    QTRY_COMPARE(catcher.Commands, QList<int>({Cmd::StatsYearly, Cmd::Exit}));
    qApp->removeEventFilter(&catcher);
}

QTEST_MAIN(TestCommandRouter)
#include "tst_CommandRouter.moc"
