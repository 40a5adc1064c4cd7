#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QTabBar>
#include <QWhatsThis>
#include <QtTest>

#include <memory>
#include <optional>

#include "frame/CommandEvent.h"
#include "frame/ContextHelp.h"
#include "frame/HelpClient.h"
#include "stats/TPacequillStats.h"
#include "support/RecordingHelp.h"

namespace {

// The requests the help client got, each as "owner file command context" with the owner by its object name.
QStringList Calls(const RecordingHelp &help) {
    QStringList calls;
    for (const RecordingHelp::Sent &sent : help.Requests)
        calls.append(QStringLiteral("%1 %2 %3 %4")
                         .arg(sent.Owner ? sent.Owner->objectName() : "-", sent.File)
                         .arg(int(sent.Kind))
                         .arg(sent.Context));
    return calls;
}

QString Call(const QString &file, HelpClient::Command command, quint32 context = 0) {
    return QStringLiteral("main %1 %2 %3").arg(file).arg(int(command)).arg(context);
}

// Hands every event to the context help first, as the application does.
class Preprocessor : public QObject {
public:
    explicit Preprocessor(ContextHelp &help) : Help(help) {}
    bool eventFilter(QObject *receiver, QEvent *event) override { return Help.Preprocess(receiver, event); }
    ContextHelp &Help;
};

// Records the commands that get past the context help (application filters run newest first, so this one,
// installed before the context help, sees only what it lets through).
class CommandSink : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == CommandEvent::EventType())
            Commands.append(static_cast<CommandEvent *>(event)->Command());
        return false;
    }
    QList<int> Commands;
};

// A window content that records the keys and mouse moves that reach it.
class Target : public QPlainTextEdit {
public:
    Target() { setMouseTracking(true); }
    QList<int> Keys;
    int Moves = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override {
        if (event->key() != Qt::Key_Shift)
            Keys.append(event->key());
        QPlainTextEdit::keyPressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent *event) override {
        ++Moves;
        QPlainTextEdit::mouseMoveEvent(event);
    }
};

const QString Menu = QStringLiteral("pacequill.hlp");
const QString Popup = QStringLiteral(".\\pacequill.hlp");
using Cmd = HelpClient::Command;

} // namespace

class TestContextHelp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void mainLoop_data();
    void mainLoop();
    void heldF1FromTheSystem();
    void escapeLeavesTheMenuBar();
    void cursorFollowsTheMode();
    void helpForDialogControls();
    void whatsThisForDialogControls();
    void registryFollowsDialogLifetimes();

private:
    void Play(const QString &step);

    RecordingHelp Help;
    std::optional<bool> SystemF1;
    std::unique_ptr<QMainWindow> Main;
    Target *Content = nullptr;
    std::unique_ptr<ContextHelp> Helper;
    std::unique_ptr<Preprocessor> Filter;
    CommandSink Sink;
};

void TestContextHelp::init() {
    Help.Requests.clear();
    Sink.Commands.clear();
    SystemF1.reset();
    Main = std::make_unique<QMainWindow>();
    Main->setObjectName("main");
    Content = new Target;
    Main->setCentralWidget(Content);
    Main->show();
    Main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Main.get()));
    Content->setFocus();
    Helper = std::make_unique<ContextHelp>(
        Help, [this] { return Main.get(); }, [this] { return SystemF1; });
    Filter = std::make_unique<Preprocessor>(*Helper);
    qApp->installEventFilter(&Sink);
    qApp->installEventFilter(Filter.get());
}

void TestContextHelp::cleanup() {
    qApp->removeEventFilter(Filter.get());
    qApp->removeEventFilter(&Sink);
    Filter.reset();
    Helper.reset();
    Main.reset();
}

// Steps: "S-F1", "F1", "Esc", "A" (a key press); "F1 down", "F1 up"; "move"; a number is a command.
void TestContextHelp::Play(const QString &step) {
    bool isCommand = false;
    const int command = step.toInt(&isCommand);
    if (isCommand) {
        CommandEvent::Post(command);
        QCoreApplication::sendPostedEvents(qApp, CommandEvent::EventType());
    } else if (step == "S-F1") {
        QTest::keyClick(Content, Qt::Key_F1, Qt::ShiftModifier);
    } else if (step == "F1") {
        QTest::keyClick(Content, Qt::Key_F1);
    } else if (step == "F1 down") {
        QTest::keyPress(Content, Qt::Key_F1);
    } else if (step == "F1 up") {
        QTest::keyRelease(Content, Qt::Key_F1);
    } else if (step == "Esc") {
        QTest::keyClick(Content, Qt::Key_Escape);
    } else if (step == "A") {
        QTest::keyClick(Content, Qt::Key_A);
    } else if (step == "move") {
        QTest::mouseMove(Content->viewport(), QPoint(10, 10));
        QTest::mouseMove(Content->viewport(), QPoint(20, 20));
    } else {
        QFAIL(qPrintable("unknown step " + step));
    }
}

void TestContextHelp::mainLoop_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QList<int>>("commandsRun");
    QTest::addColumn<QList<int>>("keysReceived");
    QTest::addColumn<bool>("mode");

    QTest::newRow("command runs") << QStringList{"24332"} << QStringList{} << QList<int>{24332} << QList<int>{}
                                  << false;
    QTest::newRow("Shift+F1 then File Open shows its pop-up")
        << QStringList{"S-F1", "24332", "24332"} << QStringList{Call(Menu, Cmd::ContextPopup, 24332)}
        << QList<int>{24332} << QList<int>{} << false;
    QTest::newRow("Shift+F1 then Escape")
        << QStringList{"S-F1", "Esc", "24333"} << QStringList{} << QList<int>{24333} << QList<int>{} << false;
    QTest::newRow("mode stays until a command")
        << QStringList{"S-F1", "A", "move"} << QStringList{} << QList<int>{} << QList<int>{Qt::Key_A} << true;
    QTest::newRow("F1 opens the help topics")
        << QStringList{"F1"} << QStringList{Call(Menu, Cmd::HelpTopics)} << QList<int>{} << QList<int>{} << false;
    QTest::newRow("F1 held during a toolbar command")
        << QStringList{"F1 down", "24371", "F1 up", "24371"}
        << QStringList{Call(Menu, Cmd::HelpTopics), Call(Menu, Cmd::ContextPopup, 24371)} << QList<int>{24371}
        << QList<int>{} << false;
    QTest::newRow("Escape never reaches a window")
        << QStringList{"Esc", "Esc", "A"} << QStringList{} << QList<int>{} << QList<int>{Qt::Key_A} << false;
}

void TestContextHelp::mainLoop() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, requests);
    QFETCH(QList<int>, commandsRun);
    QFETCH(QList<int>, keysReceived);
    QFETCH(bool, mode);

    for (const QString &step : steps)
        Play(step);
    QCOMPARE(Calls(Help), requests);
    QCOMPARE(Sink.Commands, commandsRun);
    QCOMPARE(Content->Keys, keysReceived);
    QCOMPARE(Helper->IsContextHelpMode(), mode);
}

// A lone Alt gives the menu bar the keyboard; Escape gives it back, with or without the context-help mode.
void TestContextHelp::escapeLeavesTheMenuBar() {
    QMenuBar *bar = Main->menuBar();
    bar->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Open"));
    // A style in which a lone Alt gives the menu bar the keyboard, as desktops that use the Alt key do.
    std::unique_ptr<QStyle> altNavigation(QStyleFactory::create(QStringLiteral("Windows")));
    bar->setStyle(altNavigation.get());
    bar->show();
    QVERIFY(QTest::qWaitForWindowActive(Main.get()));
    for (const bool mode : {false, true}) {
        if (mode)
            Play("S-F1");
        Content->setFocus();
        QTest::keyPress(Content, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(Content, Qt::Key_Alt);
        if (QApplication::focusWidget() != bar)
            QSKIP("this style gives the menu bar no keyboard mode on Alt");
        // As the display delivers it: to the window, which hands it to the focus widget.
        QTest::keyClick(Main->windowHandle(), Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), Content);
        QVERIFY(!Helper->IsContextHelpMode());
    }
    // Escape went to the menu bar, not on to the window's content.
    QVERIFY(!Content->Keys.contains(Qt::Key_Escape));
}

void TestContextHelp::heldF1FromTheSystem() {
    // The display's word counts over what the windows saw: F1 went up while another program had the focus.
    Play("F1 down");
    SystemF1 = false;
    Play("24332");
    QCOMPARE(Sink.Commands, QList<int>{24332});
    SystemF1 = true;
    Play("24333");
    QCOMPARE(Sink.Commands, QList<int>{24332});
    QCOMPARE(Calls(Help).constLast(), Call(Menu, Cmd::ContextPopup, 24333));
}

void TestContextHelp::cursorFollowsTheMode() {
    QVERIFY(!QApplication::overrideCursor());
    Play("S-F1");
    QVERIFY(Helper->GetHelpCursor());
    QVERIFY(QApplication::overrideCursor());
    QVERIFY(!QApplication::overrideCursor()->pixmap().isNull());
    Play("move");
    QCOMPARE(Content->Moves, 0);

    // A command ends the mode and keeps the cursor loaded; the arrow shows again.
    Play("24332");
    QVERIFY(Helper->GetHelpCursor());
    QVERIFY(!QApplication::overrideCursor());
    Play("move");
    QVERIFY(Content->Moves > 0);

    Play("S-F1");
    Play("S-F1"); // a second Shift+F1 replaces the cursor, never stacks it
    Play("Esc");
    QVERIFY(!Helper->GetHelpCursor());
    QVERIFY(!QApplication::overrideCursor());
}

void TestContextHelp::helpForDialogControls() {
    TPacequillStats stats(Main.get(), &Help);
    stats.SetRequestedTab(TPacequillStats::FromThruTab);
    stats.setWindowModality(Qt::ApplicationModal);
    stats.show();
    QVERIFY(QTest::qWaitForWindowActive(&stats));
    auto *year = stats.findChild<QComboBox *>("105");
    year->setFocus();

    QTest::keyClick(year, Qt::Key_F1);
    QCOMPARE(Calls(Help), QStringList{Call(Popup, Cmd::ContextPopup, 105)});
    // F1 held down repeats; the pop-up is asked for once.
    for (int repeat = 0; repeat < 3; ++repeat) {
        QKeyEvent held(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(year, &held);
    }
    QCOMPARE(Calls(Help).size(), 1);
    // A command inside the dialog's loop is not taken for help; Escape closes the dialog as usual.
    Play("24371");
    QCOMPARE(Sink.Commands, QList<int>{24371});
    QTest::keyClick(year, Qt::Key_Escape);
    QVERIFY(!stats.isVisible());
}

void TestContextHelp::whatsThisForDialogControls() {
    TPacequillStats stats(Main.get(), &Help);
    QVERIFY(stats.windowFlags() & Qt::WindowContextHelpButtonHint);
    auto *tabs = stats.findChild<QTabBar *>("1101");
    QHelpEvent query(QEvent::QueryWhatsThis, QPoint(1, 1), tabs->mapToGlobal(QPoint(1, 1)));
    query.ignore();
    QApplication::sendEvent(tabs, &query);
    QVERIFY(query.isAccepted());

    // A click in What's This mode on a part of a control asks for the control's help.
    auto *day = stats.findChild<QComboBox *>("107");
    QHelpEvent click(QEvent::WhatsThis, QPoint(1, 1), day->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(day, &click);
    QCOMPARE(Calls(Help), QStringList{Call(Popup, Cmd::ContextPopup, 107)});

    // Controls without an entry (the labels) get nothing.
    QHelpEvent label(QEvent::WhatsThis, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(stats.findChild<QWidget *>("126"), &label);
    QCOMPARE(Calls(Help).size(), 1);
}

void TestContextHelp::registryFollowsDialogLifetimes() {
    // A control with a registered id in a window that registered nothing gets no help.
    QWidget stranger;
    auto *impostor = new QComboBox(&stranger);
    impostor->setObjectName("105");
    {
        TPacequillStats first(Main.get(), &Help);
        QVERIFY(!Helper->RequestControlHelp(impostor));
        QVERIFY(Helper->RequestControlHelp(first.findChild<QWidget *>("105")));
        TPacequillStats second(Main.get(), &Help);
        QVERIFY(Helper->RequestControlHelp(second.findChild<QWidget *>("117")));
    }
    QCOMPARE(Calls(Help).size(), 2);
    TPacequillStats third(Main.get(), &Help);
    QVERIFY(Helper->RequestControlHelp(third.findChild<QWidget *>("908")));
    QCOMPARE(Calls(Help).constLast(), Call(Popup, Cmd::ContextPopup, 908));
    QVERIFY(!Helper->RequestMenuItemHelp(24371));
}

QTEST_MAIN(TestContextHelp)
#include "tst_ContextHelp.moc"
