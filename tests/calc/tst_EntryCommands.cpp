#include <QApplication>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>

#include "calc/DateRules.h"
#include "calc/EntryCommands.h"
#include "calc/NoteCompleter.h"
#include "calc/TPacequillCalc.h"
#include "frame/CommandEvent.h"
#include "frame/CommandIds.h"
#include "frame/CommandRouter.h"
#include "frame/ContextHelp.h"
#include "frame/Prompts.h"
#include "log/TPacequillDlgClient.h"
#include "log/TPacequillListWindow.h"
#include "shell/DocumentModules.h"
#include "support/RecordingHelp.h"
#include "support/ScriptedPrompts.h"

Q_DECLARE_METATYPE(std::string)

namespace {

// How the editor opened: its parent, its six texts after it set itself up, its three indexes, and how many
// messages had been shown by then.
struct EditorOpening {
    QWidget *Parent = nullptr;
    QStringList Texts;
    QList<int> Indexes;
    qsizetype MessagesBefore = 0;
};

// Routes the posted commands as the application does, through the window with the focus and its parents.
class CommandRouting : public QObject {
public:
    explicit CommandRouting(QWidget *frame) : Router(frame, nullptr) {}
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() != CommandEvent::EventType())
            return false;
        Router.Route(static_cast<CommandEvent *>(event)->Command());
        return true;
    }
    CommandRouter Router;
};

// Hands every event to the context help first, as the application does.
class Preprocessor : public QObject {
public:
    explicit Preprocessor(ContextHelp &help) : Help(help) {}
    bool eventFilter(QObject *receiver, QEvent *event) override { return Help.Preprocess(receiver, event); }
    ContextHelp &Help;
};

const QStringList ThreeRows = {"2001/05/01\t3 Miles\t00:24:00\tfirst", "2001/05/02\t5 Kilometers\t00:25:10\tsecond",
                               "2001/05/03\t1 Marathons\t03:30:00\tthird"};

} // namespace

class TestEntryCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addOnEmptyLog();
    void addCancelledChangesNothing_data();
    void addCancelledChangesNothing();
    void duplicateAppendsCutCopy();
    void modifyMovesEditedRowToEnd();
    void modifyWithoutUnit();
    void splitForEditor_data();
    void splitForEditor();
    void missingSelection_data();
    void missingSelection();
    void deleteSelectsNeighbour_data();
    void deleteSelectsNeighbour();
    void deleteAnsweredNo();
    void contextMenu_data();
    void contextMenu();
    void contextMenuCommandsMeetContextHelp_data();
    void contextMenuCommandsMeetContextHelp();
    void contextMenuFromTheKeyboard();
    void doubleClickModifies();
    void editorCompletesMarksOfTheLog();

private:
    void Start(const QStringList &rows);
    // Runs the next editor: records how it opened, sets Distance when asked, then presses OK or Cancel.
    void ScriptEditor(bool confirm, const QString &distance = {});
    QStringList Rows() const;
    int Selected() const { return Client->FindSelectedRow().value_or(-1); }
    QPoint RowCentre(int row) const;
    // Right-clicks the list at position and chooses the item at index from the menu that opens; records the items.
    void ChooseFromContextMenu(QPoint position, int index);

    std::unique_ptr<QMainWindow> Frame;
    std::unique_ptr<CommandRouting> Routing;
    QStringList ShownItems;
    QList<bool> ShownEnabled;
    TPacequillDlgClient *Client = nullptr;
    std::unique_ptr<ScriptedPrompts> Scripted;
    QList<EditorOpening> Openings;
};

void TestEntryCommands::init() {
    Scripted = std::make_unique<ScriptedPrompts>();
    Prompts::Install(Scripted.get());
    pq::SetDateClock([] { return pq::CivilDate{2026, 3, 5}; });
    Openings.clear();
}

void TestEntryCommands::cleanup() {
    Routing.reset();
    Frame.reset();
    TPacequillCalc::InstallRunner({});
    pq::SetDateClock({});
    Prompts::Install(nullptr);
}

void TestEntryCommands::Start(const QStringList &rows) {
    Frame = std::make_unique<QMainWindow>();
    Client = NewDocumentClient();
    Frame->setCentralWidget(Client);
    Client->SetupWindow({});
    for (const QString &row : rows)
        Client->Rows().AppendRow(row.toStdString());
    if (!rows.isEmpty())
        Client->SelectLastRow();
    Routing = std::make_unique<CommandRouting>(Frame.get());
    QApplication::instance()->installEventFilter(Routing.get());
    Frame->show();
    QVERIFY(QTest::qWaitForWindowActive(Frame.get()));
}

void TestEntryCommands::ScriptEditor(bool confirm, const QString &distance) {
    TPacequillCalc::InstallRunner([this, confirm, distance](TPacequillCalc &editor) {
        editor.show();
        QStringList texts;
        for (const std::string *text : {&editor.EntryDate, &editor.EntryDistance, &editor.EntryHours,
                                        &editor.EntryMinutes, &editor.EntrySeconds, &editor.EntryNotes})
            texts.append(QString::fromStdString(*text));
        Openings.append({editor.parentWidget(),
                         texts,
                         {editor.DistanceUnitIndex, editor.PaceUnitIndex, editor.CalcModeIndex},
                         Scripted->Messages.size()});
        if (!distance.isEmpty())
            editor.findChild<QLineEdit *>(QStringLiteral("602"))->setText(distance);
        if (confirm)
            editor.findChild<QPushButton *>(QStringLiteral("906"))->click();
        else
            editor.reject();
    });
}

QStringList TestEntryCommands::Rows() const {
    QStringList rows;
    for (int row = 0; row < Client->List().RowCount(); ++row)
        rows.append(QString::fromStdString(pq::LogList::JoinEntry(Client->List().ReadEntry(row))));
    return rows;
}

QPoint TestEntryCommands::RowCentre(int row) const {
    TPacequillListWindow *list = Client->ListWindow();
    return list->visualRect(list->model()->index(row, 0)).center();
}

void TestEntryCommands::addOnEmptyLog() {
    Start({});
    ScriptEditor(true, QStringLiteral("6.2"));
    QVERIFY(Client->Handle(Cmd::AddEntry));
    QCOMPARE(Openings.size(), 1);
    QCOMPARE(Openings[0].Parent, Client);
    QCOMPARE(Openings[0].Texts, (QStringList{"2026/03/05", "", "", "", "", ""}));
    QCOMPARE(Openings[0].Indexes, (QList<int>{0, 0, 2}));
    QCOMPARE(Rows(), QStringList{"2026/03/05\t6.2 Miles\t00:00:00\tNone"});
    QCOMPARE(Selected(), 0);
    QVERIFY(Client->GetHasEntries());
    QVERIFY(Client->GetChanged());
    for (const int command : {Cmd::DuplicateEntry, Cmd::ModifyEntry, Cmd::DeleteEntry})
        QCOMPARE(Client->Enabled(command), std::optional<bool>(true));
}

void TestEntryCommands::addCancelledChangesNothing_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("changed");
    QTest::newRow("empty, unchanged") << QStringList{} << false;
    QTest::newRow("three rows, changed") << ThreeRows << true;
}

void TestEntryCommands::addCancelledChangesNothing() {
    QFETCH(QStringList, rows);
    QFETCH(bool, changed);
    Start(rows);
    Client->SetChanged(changed);
    ScriptEditor(false);
    Client->Handle(Cmd::AddEntry);
    QCOMPARE(Openings.size(), 1);
    QCOMPARE(Rows(), rows);
    QCOMPARE(Client->GetChanged(), changed);
    QCOMPARE(Client->GetHasEntries(), !rows.isEmpty());
    QCOMPARE(Client->Enabled(Cmd::AddEntry), std::nullopt); // no enabler: always available
    QCOMPARE(Client->Enabled(Cmd::DuplicateEntry), std::optional<bool>(!rows.isEmpty()));
}

void TestEntryCommands::duplicateAppendsCutCopy() {
    Start({"2001/05/01\t12345678901234567890\t00:24:00\tfirst", ThreeRows[1], ThreeRows[2]});
    Client->ShowAndSelect(0);
    Client->Handle(Cmd::DuplicateEntry);
    QVERIFY(Openings.isEmpty());
    QCOMPARE(Rows().size(), 4);
    QCOMPARE(Rows()[3], QStringLiteral("2001/05/01\t123456789012345\t00:24:00\tfirst"));
    QCOMPARE(Selected(), 3);
    QVERIFY(Client->GetChanged());
}

void TestEntryCommands::modifyMovesEditedRowToEnd() {
    Start(ThreeRows);
    Client->ShowAndSelect(0);
    ScriptEditor(true, QStringLiteral("4"));
    Client->Handle(Cmd::ModifyEntry);
    QCOMPARE(Openings.size(), 1);
    // Texts as the editor holds them once open: leading zeros are gone.
    QCOMPARE(Openings[0].Texts, (QStringList{"2001/05/01", "3", "", "24", "", "first"}));
    QCOMPARE(Openings[0].Indexes, (QList<int>{0, 0, 2}));
    QCOMPARE(Rows(), (QStringList{ThreeRows[1], ThreeRows[2], "2001/05/01\t4 Miles\t00:24:00\tfirst"}));
    QCOMPARE(Selected(), 2);
    QVERIFY(Client->GetChanged());
}

void TestEntryCommands::modifyWithoutUnit() {
    Start({"2001/05/01\t5 Km\t25\tNone"});
    ScriptEditor(false);
    Client->Handle(Cmd::ModifyEntry);
    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &message = Scripted->Messages[0];
    QCOMPARE(message.Text, QStringLiteral("No distance units found. Miles will be the default."));
    QCOMPARE(message.Caption, QStringLiteral("Debug Message"));
    QCOMPARE(message.BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(message.Buttons, QList<Prompts::Button>{Prompts::Button::Ok});
    QCOMPARE(Openings.size(), 1);
    QCOMPARE(Openings[0].MessagesBefore, 1);
    QCOMPARE(Openings[0].Indexes[0], 0);
    QCOMPARE(Rows(), QStringList{"2001/05/01\t5 Km\t25\tNone"});
    QVERIFY(!Client->GetChanged());
}

void TestEntryCommands::splitForEditor_data() {
    QTest::addColumn<std::string>("distance");
    QTest::addColumn<std::string>("time");
    QTest::addColumn<QStringList>("parts"); // number, hours, minutes, seconds
    QTest::addColumn<int>("unit");          // -1: no unit found, Miles stands in

    QTest::newRow("miles") << std::string("6.2 Miles") << std::string("00:45:30")
                           << QStringList{"6.2", "00", "45", "30"} << 0;
    QTest::newRow("leading blanks, km") << std::string("  10 Kilometers") << std::string("01:00:05.5")
                                        << QStringList{"10", "01", "00", "05.5"} << 1;
    QTest::newRow("marathons") << std::string("1 Marathons") << std::string("03:29:45.00")
                               << QStringList{"1", "03", "29", "45.00"} << 2;
    QTest::newRow("time without colon") << std::string("5 Km") << std::string("25") << QStringList{"5", "25", "", ""}
                                        << -1;
    QTest::newRow("no unit at all") << std::string("5") << std::string() << QStringList{"5", "", "", ""} << -1;
    QTest::newRow("case matters") << std::string("5 miles") << std::string("1:2") << QStringList{"5", "1", "2", ""}
                                  << -1;
    QTest::newRow("runs of colons") << std::string("7 Miles") << std::string("::1::2:3:4")
                                    << QStringList{"7", "1", "2", "3:4"} << 0;
}

void TestEntryCommands::splitForEditor() {
    QFETCH(std::string, distance);
    QFETCH(std::string, time);
    QFETCH(QStringList, parts);
    QFETCH(int, unit);

    const EntryCommands::EditorTexts texts = EntryCommands::SplitForEditor({"No Date", distance, time, "None"});
    QCOMPARE((QStringList{QString::fromStdString(texts.Distance), QString::fromStdString(texts.Hours),
                          QString::fromStdString(texts.Minutes), QString::fromStdString(texts.Seconds)}),
             parts);
    QCOMPARE(texts.DistanceUnit, std::max(unit, 0));
    QCOMPARE(texts.UnitFound, unit >= 0);
    QCOMPARE(texts.Date + texts.Notes, std::string("No DateNone"));
}

void TestEntryCommands::missingSelection_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");

    QTest::newRow("duplicate, empty") << Cmd::DuplicateEntry << QStringList{} << "There is nothing to duplicate!"
                                      << "Duplicate Entry";
    QTest::newRow("modify, none selected") << Cmd::ModifyEntry << ThreeRows << "There is nothing to modify!"
                                           << "Modify Entry";
    QTest::newRow("delete, none selected") << Cmd::DeleteEntry << ThreeRows << "There is nothing to delete!"
                                           << "Delete Entry";
    QTest::newRow("list modify, empty") << Cmd::ListModifyEntry << QStringList{} << "There is nothing to modify!"
                                        << "Modify Entry";
}

void TestEntryCommands::missingSelection() {
    QFETCH(int, command);
    QFETCH(QStringList, rows);
    QFETCH(QString, text);
    QFETCH(QString, caption);

    Start(rows);
    Client->ListWindow()->clearSelection();
    QCOMPARE(Selected(), -1);
    ScriptEditor(true);
    CommandTarget &target = command < Cmd::ListAddEntry ? static_cast<CommandTarget &>(*Client)
                                                        : Client->findChild<EntryCommands *>()->ListResponses();
    QVERIFY(target.Handle(command));
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages[0].Text, text);
    QCOMPARE(Scripted->Messages[0].Caption, caption);
    QCOMPARE(Scripted->Messages[0].BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(Scripted->Messages[0].Buttons, QList<Prompts::Button>{Prompts::Button::Ok});
    QVERIFY(Openings.isEmpty());
    QCOMPARE(Rows(), rows);
    QVERIFY(!Client->GetChanged());
}

void TestEntryCommands::deleteSelectsNeighbour_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<int>("selectedAfter"); // -1: none

    QTest::newRow("middle of three") << ThreeRows << 1 << QStringList{ThreeRows[0], ThreeRows[2]} << 1;
    QTest::newRow("last of three") << ThreeRows << 2 << QStringList{ThreeRows[0], ThreeRows[1]} << 1;
    QTest::newRow("first of three") << ThreeRows << 0 << QStringList{ThreeRows[1], ThreeRows[2]} << 0;
    QTest::newRow("the only row") << QStringList{ThreeRows[0]} << 0 << QStringList{} << -1;
}

void TestEntryCommands::deleteSelectsNeighbour() {
    QFETCH(QStringList, rows);
    QFETCH(int, selected);
    QFETCH(QStringList, left);
    QFETCH(int, selectedAfter);

    Start(rows);
    Client->ShowAndSelect(selected);
    Scripted->Answers = {Prompts::Button::Yes};
    Client->Handle(Cmd::DeleteEntry);
    QCOMPARE(Rows(), left);
    QCOMPARE(Selected(), selectedAfter);
    QCOMPARE(Client->GetHasEntries(), selectedAfter >= 0);
    QVERIFY(Client->GetChanged());
    for (const int command : {Cmd::DuplicateEntry, Cmd::ModifyEntry, Cmd::DeleteEntry})
        QCOMPARE(Client->Enabled(command), std::optional<bool>(selectedAfter >= 0));
}

void TestEntryCommands::deleteAnsweredNo() {
    Start(ThreeRows);
    Client->ShowAndSelect(1);
    Scripted->Answers = {Prompts::Button::No};
    Client->Handle(Cmd::DeleteEntry);
    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &question = Scripted->Messages[0];
    QCOMPARE(question.Text, QStringLiteral("Are you sure you want to delete this item? (Item cannot be undeleted!)"));
    QCOMPARE(question.Caption, QStringLiteral("Delete Entry"));
    QCOMPARE(question.BoxIcon, Prompts::Icon::Question);
    QCOMPARE(question.Buttons, (QList<Prompts::Button>{Prompts::Button::Yes, Prompts::Button::No}));
    QCOMPARE(question.Default, Prompts::Button::No);
    QCOMPARE(Rows(), ThreeRows);
    QCOMPARE(Selected(), 1);
    QVERIFY(!Client->GetChanged());
}

void TestEntryCommands::ChooseFromContextMenu(QPoint position, int index) {
    QWidget *viewport = Client->ListWindow()->viewport();
    ShownItems.clear();
    ShownEnabled.clear();
    QTimer::singleShot(0, this, [this, index] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (const QAction *action : menu->actions()) {
            ShownItems.append(action->text());
            ShownEnabled.append(action->isEnabled());
        }
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(index)).center());
    });
    // A right press goes to the list first; then the platform asks for the context menu, which takes the release.
    QTest::mousePress(viewport, Qt::RightButton, {}, position);
    QContextMenuEvent request(QContextMenuEvent::Mouse, position, viewport->mapToGlobal(position));
    QApplication::sendEvent(viewport, &request);
    // The chosen command comes through the event queue, as a menu command does.
    QCoreApplication::processEvents();
}

void TestEntryCommands::contextMenu_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("clickedRow"); // -1: below the rows
    QTest::addColumn<int>("choice");
    QTest::addColumn<QList<bool>>("enabled");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("selectedAfter");

    const QList<bool> all{true, true, true, true};
    // Right-clicking the first row selects it, so Delete Entry... removes that row.
    QTest::newRow("delete the row clicked")
        << ThreeRows << 0 << 3 << all << QStringList{ThreeRows[1], ThreeRows[2]}
        << "Are you sure you want to delete this item? (Item cannot be undeleted!)" << 0;
    // Below the rows nothing is pointed at: the last row, selected before, is not offered for deletion.
    QTest::newRow("delete below the rows")
        << ThreeRows << -1 << 3 << all << ThreeRows << "There is nothing to delete!" << -1;
    QTest::newRow("modify below the rows")
        << ThreeRows << -1 << 2 << all << ThreeRows << "There is nothing to modify!" << -1;
    QTest::newRow("add on an empty log") << QStringList{} << -1 << 0 << QList<bool>{true, false, false, false}
                                         << QStringList{"2026/03/05\t0 Miles\t00:00:00\tNone"} << QString() << 0;
}

void TestEntryCommands::contextMenu() {
    QFETCH(QStringList, rows);
    QFETCH(int, clickedRow);
    QFETCH(int, choice);
    QFETCH(QList<bool>, enabled);
    QFETCH(QStringList, after);
    QFETCH(QString, message);
    QFETCH(int, selectedAfter);

    Start(rows);
    QWidget *viewport = Client->ListWindow()->viewport();
    const QPoint position = clickedRow >= 0 ? RowCentre(clickedRow) : QPoint(20, viewport->height() - 5);
    Scripted->Answers = {Prompts::Button::Yes};
    ScriptEditor(true);
    ChooseFromContextMenu(position, choice);

    QCOMPARE(ShownItems, (QStringList{"Add Entry...", "Duplicate Entry", "Modify Entry...", "Delete Entry..."}));
    QCOMPARE(ShownEnabled, enabled);
    QCOMPARE(Rows(), after);
    QCOMPARE(Selected(), selectedAfter);
    QCOMPARE(Scripted->Messages.isEmpty() ? QString() : Scripted->Messages.constFirst().Text, message);
}

void TestEntryCommands::contextMenuCommandsMeetContextHelp_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("context");
    QTest::newRow("add") << 0 << Cmd::ListAddEntry;
    QTest::newRow("duplicate") << 1 << Cmd::ListDuplicateEntry;
    QTest::newRow("modify") << 2 << Cmd::ListModifyEntry;
    QTest::newRow("delete") << 3 << Cmd::ListDeleteEntry;
}

// Shift+F1, then a context-menu command: its help pop-up instead of the command, and the mode ends.
void TestEntryCommands::contextMenuCommandsMeetContextHelp() {
    QFETCH(int, choice);
    QFETCH(int, context);

    Start(ThreeRows);
    RecordingHelp help;
    ContextHelp helper(
        help, [this] { return Frame.get(); }, [] { return std::optional<bool>(false); });
    Preprocessor preprocessor(helper);
    QApplication::instance()->installEventFilter(&preprocessor);
    ScriptEditor(true);
    QTest::keyClick(Client->ListWindow(), Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(helper.IsContextHelpMode());
    ChooseFromContextMenu(RowCentre(1), choice);
    QApplication::instance()->removeEventFilter(&preprocessor);

    QVERIFY(!helper.IsContextHelpMode());
    QCOMPARE(help.Requests.size(), 1);
    QCOMPARE(help.Requests[0].Kind, HelpClient::Command::ContextPopup);
    QCOMPARE(help.Requests[0].Context, quint32(context));
    QVERIFY(Openings.isEmpty());
    QVERIFY(Scripted->Messages.isEmpty());
    QCOMPARE(Rows(), ThreeRows);
    QVERIFY(!Client->GetChanged());
}

void TestEntryCommands::contextMenuFromTheKeyboard() {
    Start(ThreeRows);
    TPacequillListWindow *list = Client->ListWindow();
    list->setFocus();
    Client->ShowAndSelect(1);
    QPoint shownAt;
    QTimer::singleShot(0, this, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        shownAt = menu->pos();
        menu->close();
    });
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    // At the selected row, where the user is looking.
    QCOMPARE(shownAt, list->viewport()->mapToGlobal(RowCentre(1)));
}

void TestEntryCommands::doubleClickModifies() {
    Start(ThreeRows);
    ScriptEditor(false);
    QTest::mouseDClick(Client->ListWindow()->viewport(), Qt::LeftButton, {}, RowCentre(1));
    QTRY_COMPARE(Openings.size(), 1);
    QCOMPARE(Openings[0].Texts.last(), QStringLiteral("second"));
    QCOMPARE(Openings[0].Indexes[0], 1);
    QCOMPARE(Selected(), 1);
    QVERIFY(!Client->GetChanged());
}

QTEST_MAIN(TestEntryCommands)
#include "tst_EntryCommands.moc"

void TestEntryCommands::editorCompletesMarksOfTheLog() {
    Start({"2001/05/01\t3 Miles\t00:24:00\tTempo #tempo @Pegasus", "No Date\t5 Miles\t00:45:00\t#Tempo #easy C#",
           "2001/05/03\t1 Miles\t00:08:00\tmail me@home.org"});
    QStringList offered;
    TPacequillCalc::InstallRunner([&offered](TPacequillCalc &editor) {
        const auto *marks = editor.findChild<QPlainTextEdit *>(QStringLiteral("608"))->findChild<NoteCompleter *>();
        for (int row = 0; marks && row < marks->Completer()->model()->rowCount(); ++row)
            offered << marks->Completer()->model()->index(row, 0).data().toString();
        editor.reject();
    });
    QVERIFY(Client->Handle(Cmd::AddEntry));
    QCOMPARE(offered, (QStringList{"#easy", "#tempo", "@Pegasus", "rpe:"}));
}
