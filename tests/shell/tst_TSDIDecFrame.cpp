#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "frame/CommandEvent.h"
#include "frame/CommandIds.h"
#include "frame/CommandRouter.h"
#include "frame/CommandTarget.h"
#include "frame/MenuTables.h"
#include "shell/LockIndicators.h"
#include "shell/TSDIDecFrame.h"

namespace {

// A client of a known size.
class FixedClient : public QWidget {
public:
    explicit FixedClient(QSize size) : Size(size) {}
    QSize sizeHint() const override { return Size; }
    QSize Size;
};

QStringList MenuTexts(QMenu *menu) {
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

// A client that takes every command of menu 100, and records the commands that reach the event queue.
class AllCommandsClient : public QWidget, public CommandTarget {
public:
    AllCommandsClient() {
        setFocusPolicy(Qt::StrongFocus);
        for (const MenuTables::PopupMenu &popup : MenuTables::Menu100()) {
            for (const MenuTables::MenuItem &item : popup.Items) {
                if (item.Command)
                    AddResponse(item.Command, [] {});
            }
        }
    }
};

class CommandCatcher : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == CommandEvent::EventType()) {
            Commands.append(static_cast<CommandEvent *>(event)->Command());
            return true;
        }
        return false;
    }
    QList<int> Commands;
};

} // namespace

class TestTSDIDecFrame : public QObject {
    Q_OBJECT
private slots:
    void centredGeometry_data();
    void centredGeometry();
    void centreAndFixSizeFixesTheSize();
    void centredPositionByOuterFrame_data();
    void centredPositionByOuterFrame();
    void commonKeys_data();
    void commonKeys();
    void menuKeyboardModeTakesTheKeys_data();
    void menuKeyboardModeTakesTheKeys();
    void firstItemOfKeyboardMenuShowsItsHint();
    void noMenuForHidingTheToolbar();
    void noMaximiseButton();
    void menuBarHoldsMenu100();
    void toolTipFromMenuText_data();
    void toolTipFromMenuText();
    void toolbarGadgets();
    void menuHintsShowAndClear();
    void toolbarHintsOnEnterAndLeave();
    void lockIndicatorsGreyWhenUnknown();
};

void TestTSDIDecFrame::centredGeometry_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("fits") << QSize(1024, 768) << QSize(474, 416) << QRect(275, 146, 474, 476);
    QTest::newRow("odd remainders truncate") << QSize(1025, 769) << QSize(400, 300) << QRect(312, 204, 400, 360);
    QTest::newRow("larger than the screen: negative position, clamped size")
        << QSize(800, 600) << QSize(1000, 700) << QRect(-100, -80, 900, 600);
    QTest::newRow("negative halves truncate toward zero")
        << QSize(800, 600) << QSize(1001, 541) << QRect(-100, 0, 900, 600);
    QTest::newRow("tiny window grows to the minimum") << QSize(1024, 768) << QSize(50, 20) << QRect(487, 344, 100, 100);
    QTest::newRow("height limit only") << QSize(1920, 1080) << QSize(640, 560) << QRect(640, 230, 640, 600);
}

void TestTSDIDecFrame::centredGeometry() {
    QFETCH(QSize, screen);
    QFETCH(QSize, window);
    QFETCH(QRect, expected);
    QCOMPARE(TSDIDecFrame::CentredGeometry(screen, window), expected);
}

void TestTSDIDecFrame::centreAndFixSizeFixesTheSize() {
    TSDIDecFrame frame(new FixedClient(QSize(300, 200)), nullptr);
    const QSize fit = frame.sizeHint();
    frame.CentreAndFixSize();
    const QRect expected = TSDIDecFrame::CentredGeometry(QGuiApplication::primaryScreen()->size(), fit);
    QCOMPARE(frame.size(), expected.size());
    QCOMPARE(frame.minimumSize(), frame.size());
    QCOMPARE(frame.maximumSize(), frame.size());
}

void TestTSDIDecFrame::centredPositionByOuterFrame_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QPoint>("expected");

    // The window manager's frame counts: a 476-pixel window with a 30-pixel title and 4-pixel borders.
    QTest::newRow("framed") << QSize(1024, 768) << QSize(482, 510) << QPoint(271, 129);
    QTest::newRow("no frame") << QSize(1024, 768) << QSize(474, 476) << QPoint(275, 146);
    QTest::newRow("larger than the screen") << QSize(800, 600) << QSize(909, 635) << QPoint(-54, -17);
}

void TestTSDIDecFrame::centredPositionByOuterFrame() {
    QFETCH(QSize, screen);
    QFETCH(QSize, outer);
    QFETCH(QPoint, expected);
    QCOMPARE(TSDIDecFrame::CentredPosition(screen, outer), expected);
}

void TestTSDIDecFrame::commonKeys_data() {
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<int>("command");   // 0: the key does nothing
    QTest::addColumn<QString>("shown"); // as the menu shows it; empty: not shown

    QTest::newRow("Ctrl+N") << (Qt::CTRL | Qt::Key_N) << Cmd::FileNew << "Ctrl+N";
    QTest::newRow("Ctrl+O") << (Qt::CTRL | Qt::Key_O) << Cmd::FileOpen << "Ctrl+O";
    QTest::newRow("Ctrl+S before the File menu opened") << (Qt::CTRL | Qt::Key_S) << Cmd::FileSave << "Ctrl+S";
    QTest::newRow("Ctrl+Shift+S") << (Qt::CTRL | Qt::SHIFT | Qt::Key_S) << Cmd::FileSaveAs << "Ctrl+Shift+S";
    // Exit keeps the key text of its menu item.
    QTest::newRow("Ctrl+Q") << (Qt::CTRL | Qt::Key_Q) << Cmd::Exit << QString();
    QTest::newRow("Insert") << QKeyCombination(Qt::Key_Insert) << Cmd::AddEntry << "Ins";
    QTest::newRow("Ctrl+D") << (Qt::CTRL | Qt::Key_D) << Cmd::DuplicateEntry << "Ctrl+D";
    QTest::newRow("Enter") << QKeyCombination(Qt::Key_Enter) << Cmd::ModifyEntry << "Enter";
    QTest::newRow("Return") << QKeyCombination(Qt::Key_Return) << Cmd::ModifyEntry << "Enter";
    QTest::newRow("Delete") << QKeyCombination(Qt::Key_Delete) << Cmd::DeleteEntry << "Del";
    // The accelerator table's six keys keep having no meaning.
    QTest::newRow("Shift+Delete") << (Qt::SHIFT | Qt::Key_Delete) << 0 << QString();
    QTest::newRow("Ctrl+Insert") << (Qt::CTRL | Qt::Key_Insert) << 0 << QString();
    QTest::newRow("Shift+Insert") << (Qt::SHIFT | Qt::Key_Insert) << 0 << QString();
    QTest::newRow("Ctrl+Delete") << (Qt::CTRL | Qt::Key_Delete) << 0 << QString();
    QTest::newRow("Alt+Backspace") << (Qt::ALT | Qt::Key_Backspace) << 0 << QString();
    QTest::newRow("F3") << QKeyCombination(Qt::Key_F3) << 0 << QString();
}

void TestTSDIDecFrame::commonKeys() {
    QFETCH(QKeyCombination, key);
    QFETCH(int, command);
    QFETCH(QString, shown);

    auto *client = new AllCommandsClient;
    TSDIDecFrame frame(client, nullptr);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    client->setFocus();
    CommandCatcher catcher;
    QApplication::instance()->installEventFilter(&catcher);
    QTest::keyClick(client, key.key(), key.keyboardModifiers());
    QCoreApplication::sendPostedEvents(QCoreApplication::instance(), CommandEvent::EventType());
    QApplication::instance()->removeEventFilter(&catcher);
    QCOMPARE(catcher.Commands, command ? QList<int>{command} : QList<int>{});
    if (!command)
        return;
    // The menu text stays as it is; the menu adds the key the way Qt shows keys.
    const QAction *action = frame.MenuAction(command);
    QCOMPARE(action->text(), MenuTables::MenuText(command));
    QCOMPARE(action->text().contains(u'\t') ? QString() : action->shortcut().toString(QKeySequence::NativeText), shown);
}

void TestTSDIDecFrame::menuKeyboardModeTakesTheKeys_data() {
    QTest::addColumn<QKeyCombination>("key");
    QTest::newRow("Return") << QKeyCombination(Qt::Key_Return);
    QTest::newRow("Enter") << QKeyCombination(Qt::Key_Enter);
    QTest::newRow("keypad Enter") << (Qt::KeypadModifier | Qt::Key_Enter);
    QTest::newRow("Delete") << QKeyCombination(Qt::Key_Delete);
    QTest::newRow("Insert") << QKeyCombination(Qt::Key_Insert);
    QTest::newRow("Ctrl+D") << (Qt::CTRL | Qt::Key_D);
}

// After a lone Alt the menu bar has the keyboard; with a menu open the menu has it. The keys the menu commands
// take beyond the menus' own do nothing there.
void TestTSDIDecFrame::menuKeyboardModeTakesTheKeys() {
    QFETCH(QKeyCombination, key);
    auto *client = new AllCommandsClient;
    TSDIDecFrame frame(client, nullptr);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    client->setFocus();
    CommandCatcher catcher;
    QApplication::instance()->installEventFilter(&catcher);
    QTest::keyClick(client, Qt::Key_Alt);
    QTRY_VERIFY(frame.menuBar()->hasFocus());
    QTest::keyClick(frame.menuBar(), key.key(), key.keyboardModifiers());
    QCoreApplication::sendPostedEvents(QCoreApplication::instance(), CommandEvent::EventType());
    QVERIFY(catcher.Commands.isEmpty());
    QTest::keyClick(frame.menuBar(), Qt::Key_Escape);

    frame.menuBar()->actions()[1]->menu()->popup(frame.pos());
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), key.key(), key.keyboardModifiers());
    QCoreApplication::sendPostedEvents(QCoreApplication::instance(), CommandEvent::EventType());
    QApplication::instance()->removeEventFilter(&catcher);
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    // Return and Enter carry out the highlighted item, none here.
    QVERIFY(catcher.Commands.isEmpty());
}

void TestTSDIDecFrame::firstItemOfKeyboardMenuShowsItsHint() {
    auto *client = new AllCommandsClient;
    TSDIDecFrame frame(client, nullptr);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    client->setFocus();
    QTest::keyClick(client, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTRY_COMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Create a new file"));
    QApplication::activePopupWidget()->close();
}

void TestTSDIDecFrame::noMenuForHidingTheToolbar() {
    TSDIDecFrame frame(new QWidget, nullptr);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    for (QWidget *bar : {static_cast<QWidget *>(frame.DockHost()), static_cast<QWidget *>(frame.menuBar())}) {
        const QPoint inside(bar->width() - 2, bar->height() / 2);
        // A menu that opens runs its own loop; the timer closes it again and tells.
        bool opened = false;
        QTimer::singleShot(0, &frame, [&opened] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                opened = true;
                popup->close();
            }
        });
        QContextMenuEvent request(QContextMenuEvent::Mouse, inside, bar->mapToGlobal(inside));
        QApplication::sendEvent(bar, &request);
        QCoreApplication::processEvents();
        QVERIFY(!opened);
    }
}

void TestTSDIDecFrame::noMaximiseButton() {
    TSDIDecFrame frame(new QWidget, nullptr);
    const Qt::WindowFlags flags = frame.windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
}

void TestTSDIDecFrame::menuBarHoldsMenu100() {
    TSDIDecFrame frame(new QWidget, nullptr);
    const QList<QAction *> titles = frame.menuBar()->actions();
    QCOMPARE(titles.size(), 4);
    QCOMPARE(titles[0]->text(), QStringLiteral("&File"));
    QCOMPARE(MenuTexts(titles[0]->menu()), QStringList({"&New", "&Open...", "-", "&Save", "Save &As...",
                                                        "&Import Activities...", "-", "E&xit\tAlt+F4"}));
    QCOMPARE(titles[1]->text(), QStringLiteral("&Edit"));
    QCOMPARE(MenuTexts(titles[1]->menu()),
             QStringList({"&Add Entry...", "D&uplicate Entry", "&Modify Entry...", "&Delete Entry..."}));
    QCOMPARE(titles[2]->text(), QStringLiteral("&Stats"));
    QCOMPARE(MenuTexts(titles[2]->menu()), QStringList({"&Weekly...", "&Monthly...", "&Yearly...", "&From/Thru...", "-",
                                                        "&Charts...", "&Records..."}));
    QCOMPARE(titles[3]->text(), QStringLiteral("&Help"));
    QCOMPARE(MenuTexts(titles[3]->menu()), QStringList({"Using &Pacequill", "&Using Help", "-", "&About..."}));
    QCOMPARE(frame.MenuAction(Cmd::FileOpen)->statusTip(), QStringLiteral("Open an existing file"));
    QCOMPARE(frame.MenuAction(Cmd::StatsCharts)->statusTip(),
             QStringLiteral("Shows charts of weekly distance, year over year and consistency"));
    QCOMPARE(frame.MenuAction(Cmd::StatsRecords)->statusTip(),
             QStringLiteral("Shows personal records and predicted race times"));
}

void TestTSDIDecFrame::toolTipFromMenuText_data() {
    QTest::addColumn<QString>("menuText");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("mnemonic and dots") << "&Open..."
                                       << "Open";
    QTest::newRow("key text after a tab") << "E&xit\tAlt+F4"
                                          << "Exit";
    QTest::newRow("mnemonic inside") << "Save &As..."
                                     << "Save As";
    QTest::newRow("slash kept") << "&From/Thru..."
                                << "From/Thru";
    QTest::newRow("only the first ampersand") << "R&&D && more"
                                              << "R&D && more";
    QTest::newRow("cut at backspace") << "Left\bRight"
                                      << "Left";
    QTest::newRow("dots before the tab") << "Find...\tF3..."
                                         << "Find";
    QTest::newRow("inner dots kept") << "v3.1 notes."
                                     << "v3.1 notes";
    QTest::newRow("49 characters at most") << QString(60, QLatin1Char('x')) << QString(49, QLatin1Char('x'));
    QTest::newRow("empty") << ""
                           << "";
}

void TestTSDIDecFrame::toolTipFromMenuText() {
    QFETCH(QString, menuText);
    QFETCH(QString, toolTip);
    QCOMPARE(MenuTables::ToolTipFromMenuText(menuText), toolTip);
}

void TestTSDIDecFrame::toolbarGadgets() {
    TSDIDecFrame frame(new QWidget, nullptr);
    QToolBar *toolbar = frame.DockHost();
    QCOMPARE(toolbar->windowTitle(), QStringLiteral("Pacequill Toolbar"));
    QVERIFY(toolbar->isMovable());
    QVERIFY(toolbar->isFloatable());
    QCOMPARE(frame.toolBarArea(toolbar), Qt::TopToolBarArea);
    QCOMPARE(toolbar->iconSize(), QSize(20, 20));

    QStringList gadgets;
    for (QAction *action : toolbar->actions()) {
        if (action->isSeparator()) {
            gadgets << QStringLiteral("-");
            continue;
        }
        gadgets << action->toolTip();
        QVERIFY(!action->isEnabled());
        QVERIFY(!action->isCheckable());
        QCOMPARE(action->icon().pixmap(20, 20).size(), QSize(20, 20));
        auto *button = qobject_cast<QToolButton *>(toolbar->widgetForAction(action));
        QVERIFY(button);
        QVERIFY(!button->autoRepeat());
    }
    QCOMPARE(gadgets,
             QStringList({"New", "Open", "Save", "Save As", "-", "Add Entry", "Duplicate Entry", "Modify Entry",
                          "Delete Entry", "-", "Weekly", "Monthly", "Yearly", "From/Thru", "-", "Using Pacequill"}));
}

void TestTSDIDecFrame::menuHintsShowAndClear() {
    TSDIDecFrame frame(new QWidget, nullptr);
    QMenu *stats = frame.menuBar()->actions()[2]->menu();
    QVERIFY(frame.statusBar()->currentMessage().isEmpty());
    emit stats->hovered(frame.MenuAction(Cmd::StatsYearly));
    QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Opens the Yearly Tab in the Statistics dialog box"));
    emit stats->hovered(frame.menuBar()->actions()[2]); // a popup title has no hint
    QVERIFY(frame.statusBar()->currentMessage().isEmpty());
    emit stats->hovered(frame.MenuAction(Cmd::StatsFromThru));
    emit stats->aboutToHide();
    QVERIFY(frame.statusBar()->currentMessage().isEmpty());
}

void TestTSDIDecFrame::toolbarHintsOnEnterAndLeave() {
    TSDIDecFrame frame(new QWidget, nullptr);
    QWidget *button = frame.DockHost()->widgetForAction(frame.ToolbarAction(Cmd::FileSaveAs));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(button, &enter);
    QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Save this file with a new name"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    QVERIFY(frame.statusBar()->currentMessage().isEmpty());
}

void TestTSDIDecFrame::lockIndicatorsGreyWhenUnknown() {
    TSDIDecFrame frame(new QWidget, nullptr);
    LockIndicators *indicators = frame.Indicators();
    const QList<std::pair<LockIndicators::Lock, QString>> locks{{LockIndicators::Lock::Caps, "CAPS"},
                                                                {LockIndicators::Lock::Num, "NUM"},
                                                                {LockIndicators::Lock::Scroll, "SCRL"}};
    for (const auto &[lock, text] : locks) {
        QLabel *label = indicators->Indicator(lock);
        // The offscreen platform has no X keyboard: unknown.
        QCOMPARE(label->text(), text);
        QVERIFY(!label->isEnabled());
        indicators->Show(lock, true);
        QCOMPARE(label->text(), text);
        QVERIFY(label->isEnabled());
        indicators->Show(lock, false);
        QVERIFY(label->text().isEmpty());
        QVERIFY(label->isEnabled());
    }
}

QTEST_MAIN(TestTSDIDecFrame)
#include "tst_TSDIDecFrame.moc"
