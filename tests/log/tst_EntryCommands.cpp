#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>

#include "calc/DateRules.h"
#include "calc/TPacequillCalc.h"
#include "log/EntryCommands.h"
#include "log/LogEntry.h"
#include "log/TPacequillDlgClient.h"
#include "log/TPacequillListWindow.h"
#include "shell/CommandIds.h"
#include "shell/Prompts.h"

Q_DECLARE_METATYPE(std::string)

namespace {

class ScriptedPrompts : public Prompts {
public:
    Button Message(QWidget *, const MessageSpec &spec) override {
        Messages.append(spec);
        return Answers.isEmpty() ? Button::Cancel : Answers.takeFirst();
    }
    QString OpenFileName(QWidget *, const FileDialogSpec &) override { return {}; }
    QString SaveFileName(QWidget *, const FileDialogSpec &) override { return {}; }

    QList<MessageSpec> Messages;
    QList<Button> Answers;
};

// What the editor was opened with, read once it has set itself up.
struct EditorOpening {
    QWidget *Parent = nullptr;
    std::string Date;
    std::string Distance;
    std::string Hours;
    std::string Minutes;
    std::string Seconds;
    std::string Notes;
    int DistanceUnit = -1;
    int PaceUnit = -1;
    int CalcMode = -1;
    int MessagesBefore = 0;
};

const char *const ThreeRows[] = {
    "2001/05/01\t3 Miles\t00:24:00\tfirst",
    "2001/05/02\t5 Kilometers\t00:25:10\tsecond",
    "2001/05/03\t1 Marathons\t03:30:00\tthird",
};

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
    void enablersFollowHasEntries();
    void contextMenuOnRow();
    void contextMenuOnEmptyLog();
    void doubleClickModifies();

private:
    void Start(int rows);
    // Runs the next editor: records how it opened, lets edit change it, then presses OK or Cancel.
    void ScriptEditor(bool confirm, std::function<void(TPacequillCalc &)> edit = {});
    QStringList Rows() const;
    QPoint RowCentre(int row) const;

    std::unique_ptr<QMainWindow> Frame;
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
    Frame.reset();
    TPacequillCalc::InstallRunner({});
    pq::SetDateClock({});
    Prompts::Install(nullptr);
    Scripted.reset();
}

void TestEntryCommands::Start(int rows) {
    Frame = std::make_unique<QMainWindow>();
    Client = new TPacequillDlgClient;
    Frame->setCentralWidget(Client);
    Client->SetupWindow({});
    for (int row = 0; row < rows; ++row)
        Client->Rows().AppendRow(ThreeRows[row]);
    if (rows > 0)
        Client->SelectLastRow();
    Frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(Frame.get()));
}

void TestEntryCommands::ScriptEditor(bool confirm, std::function<void(TPacequillCalc &)> edit) {
    TPacequillCalc::InstallRunner([this, confirm, edit](TPacequillCalc &editor) {
        editor.show();
        Openings.append({editor.parentWidget(), editor.EntryDate, editor.EntryDistance, editor.EntryHours,
                         editor.EntryMinutes, editor.EntrySeconds, editor.EntryNotes, editor.DistanceUnitIndex,
                         editor.PaceUnitIndex, editor.CalcModeIndex, static_cast<int>(Scripted->Messages.size())});
        if (edit)
            edit(editor);
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
    Start(0);
    ScriptEditor(true, [](TPacequillCalc &editor) {
        editor.findChild<QLineEdit *>(QStringLiteral("602"))->setText(QStringLiteral("6.2"));
        editor.findChild<QLineEdit *>(QStringLiteral("604"))->setText(QStringLiteral("45"));
    });
    Client->Handle(Cmd::AddEntry);

    QCOMPARE(Openings.size(), 1);
    const EditorOpening &opening = Openings.constFirst();
    QCOMPARE(opening.Parent, Client);
    QCOMPARE(opening.Date, std::string("2026/03/05"));
    QVERIFY(opening.Distance.empty() && opening.Hours.empty() && opening.Notes.empty());
    QCOMPARE(opening.DistanceUnit, 0);
    QCOMPARE(opening.PaceUnit, 0);
    QCOMPARE(opening.CalcMode, 2);
    QCOMPARE(Rows(), QStringList{"2026/03/05\t6.2 Miles\t00:45:00\tNone"});
    QCOMPARE(Client->FindSelectedRow(), std::optional<int>(0));
    QVERIFY(Client->GetHasEntries());
    QVERIFY(Client->GetChanged());
    QVERIFY(Client->GetUntitled());
}

void TestEntryCommands::addCancelledChangesNothing_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("changed");
    QTest::newRow("empty, unchanged") << 0 << false;
    QTest::newRow("three rows, changed") << 3 << true;
}

void TestEntryCommands::addCancelledChangesNothing() {
    QFETCH(int, rows);
    QFETCH(bool, changed);
    Start(rows);
    Client->SetChanged(changed);
    const QStringList before = Rows();
    ScriptEditor(false);
    Client->Handle(Cmd::AddEntry);
    QCOMPARE(Openings.size(), 1);
    QCOMPARE(Rows(), before);
    QCOMPARE(Client->GetChanged(), changed);
    QCOMPARE(Client->GetHasEntries(), rows > 0);
}

void TestEntryCommands::duplicateAppendsCutCopy() {
    Start(0);
    Client->Rows().AppendRow("2001/05/01\t12345678901234567890\t00:24:00\tfirst");
    Client->Rows().AppendRow(ThreeRows[1]);
    Client->Rows().AppendRow(ThreeRows[2]);
    Client->SelectLastRow();
    Client->ShowAndSelect(0);
    Client->Handle(Cmd::DuplicateEntry);
    QVERIFY(Openings.isEmpty());
    QCOMPARE(Client->List().RowCount(), 4);
    QCOMPARE(Client->List().Text(3, pq::DistanceColumn), std::string_view("123456789012345"));
    QCOMPARE(Rows().constLast(), Rows().constFirst());
    QCOMPARE(Client->FindSelectedRow(), std::optional<int>(3));
    QVERIFY(Client->GetChanged());
}

void TestEntryCommands::modifyMovesEditedRowToEnd() {
    Start(3);
    Client->ShowAndSelect(0);
    ScriptEditor(true, [](TPacequillCalc &editor) {
        editor.findChild<QLineEdit *>(QStringLiteral("602"))->setText(QStringLiteral("4"));
    });
    Client->Handle(Cmd::ModifyEntry);

    QCOMPARE(Openings.size(), 1);
    const EditorOpening &opening = Openings.constFirst();
    QCOMPARE(opening.Date, std::string("2001/05/01"));
    QCOMPARE(opening.Distance, std::string("3"));
    QCOMPARE(opening.Hours, std::string("")); // "00" lost its zeros when the editor opened
    QCOMPARE(opening.Minutes, std::string("24"));
    QCOMPARE(opening.Notes, std::string("first"));
    QCOMPARE(opening.CalcMode, 2);
    QCOMPARE(Rows(), (QStringList{ThreeRows[1], ThreeRows[2], "2001/05/01\t4 Miles\t00:24:00\tfirst"}));
    QCOMPARE(Client->FindSelectedRow(), std::optional<int>(2));
    QVERIFY(Client->GetChanged());
}

void TestEntryCommands::modifyWithoutUnit() {
    Start(0);
    Client->Rows().AppendRow("2001/05/01\t5 Km\t25\tNone");
    Client->SelectLastRow();
    ScriptEditor(false);
    Client->Handle(Cmd::ModifyEntry);

    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &message = Scripted->Messages.constFirst();
    QCOMPARE(message.Text, QStringLiteral("No distance units found. Miles will be the default."));
    QCOMPARE(message.Caption, QStringLiteral("Debug Message"));
    QCOMPARE(message.BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(message.Buttons, QList<Prompts::Button>{Prompts::Button::Ok});
    QCOMPARE(Openings.size(), 1);
    QCOMPARE(Openings.constFirst().MessagesBefore, 1); // the message comes before the editor
    QCOMPARE(Openings.constFirst().DistanceUnit, 0);
    QCOMPARE(Openings.constFirst().Hours, std::string("25"));
    QCOMPARE(Rows(), QStringList{"2001/05/01\t5 Km\t25\tNone"});
    QVERIFY(!Client->GetChanged());
}

void TestEntryCommands::splitForEditor_data() {
    QTest::addColumn<std::string>("distance");
    QTest::addColumn<std::string>("time");
    QTest::addColumn<QStringList>("parts"); // number, hours, minutes, seconds
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("found");

    QTest::newRow("miles") << std::string("6.2 Miles") << std::string("00:45:30")
                           << QStringList{"6.2", "00", "45", "30"} << 0 << true;
    QTest::newRow("leading blanks, kilometers") << std::string("  10 Kilometers") << std::string("01:00:05.5")
                                                << QStringList{"10", "01", "00", "05.5"} << 1 << true;
    QTest::newRow("marathons") << std::string("1 Marathons") << std::string("03:29:45.00")
                               << QStringList{"1", "03", "29", "45.00"} << 2 << true;
    QTest::newRow("unit without Mile, Kilo or Mara")
        << std::string("5 Km") << std::string("25") << QStringList{"5", "25", "", ""} << 0 << false;
    QTest::newRow("no unit at all") << std::string("5") << std::string("") << QStringList{"5", "", "", ""} << 0
                                    << false;
    QTest::newRow("case matters") << std::string("5 miles") << std::string("1:2") << QStringList{"5", "1", "2", ""} << 0
                                  << false;
    QTest::newRow("runs of colons") << std::string("7 Miles") << std::string("::1::2:3:4")
                                    << QStringList{"7", "1", "2", "3:4"} << 0 << true;
}

void TestEntryCommands::splitForEditor() {
    QFETCH(std::string, distance);
    QFETCH(std::string, time);
    QFETCH(QStringList, parts);
    QFETCH(int, unit);
    QFETCH(bool, found);

    const EntryCommands::EditorTexts texts = EntryCommands::SplitForEditor({"No Date", distance, time,
                                                                            "a\xA0\xA0"
                                                                            "b"});
    QCOMPARE((QStringList{QString::fromStdString(texts.Distance), QString::fromStdString(texts.Hours),
                          QString::fromStdString(texts.Minutes), QString::fromStdString(texts.Seconds)}),
             parts);
    QCOMPARE(texts.DistanceUnit, unit);
    QCOMPARE(texts.UnitFound, found);
    QCOMPARE(texts.Date, std::string("No Date"));
    QCOMPARE(texts.Notes, std::string("a\xA0\xA0"
                                      "b"));
}

void TestEntryCommands::missingSelection_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");

    QTest::newRow("duplicate, empty log") << Cmd::DuplicateEntry << 0 << "There is nothing to duplicate!"
                                          << "Duplicate Entry";
    QTest::newRow("modify, rows but none selected") << Cmd::ModifyEntry << 3 << "There is nothing to modify!"
                                                    << "Modify Entry";
    QTest::newRow("delete, rows but none selected") << Cmd::DeleteEntry << 3 << "There is nothing to delete!"
                                                    << "Delete Entry";
    QTest::newRow("context menu modify, empty log") << Cmd::ListModifyEntry << 0 << "There is nothing to modify!"
                                                    << "Modify Entry";
}

void TestEntryCommands::missingSelection() {
    QFETCH(int, command);
    QFETCH(int, rows);
    QFETCH(QString, text);
    QFETCH(QString, caption);

    Start(rows);
    Client->ListWindow()->clearSelection();
    QCOMPARE(Client->FindSelectedRow(), std::nullopt);
    ScriptEditor(true);
    const QStringList before = Rows();
    CommandTarget &target = command < Cmd::ListAddEntry ? static_cast<CommandTarget &>(*Client)
                                                        : Client->findChild<EntryCommands *>()->ListResponses();
    QVERIFY(target.Handle(command));
    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &message = Scripted->Messages.constFirst();
    QCOMPARE(message.Text, text);
    QCOMPARE(message.Caption, caption);
    QCOMPARE(message.BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(message.Buttons, QList<Prompts::Button>{Prompts::Button::Ok});
    QVERIFY(Openings.isEmpty());
    QCOMPARE(Rows(), before);
    QVERIFY(!Client->GetChanged());
}

void TestEntryCommands::deleteSelectsNeighbour_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<int>("selectedAfter"); // -1: none

    QTest::newRow("middle of three") << 3 << 1 << QStringList{ThreeRows[0], ThreeRows[2]} << 1;
    QTest::newRow("last of three") << 3 << 2 << QStringList{ThreeRows[0], ThreeRows[1]} << 1;
    QTest::newRow("first of three") << 3 << 0 << QStringList{ThreeRows[1], ThreeRows[2]} << 0;
    QTest::newRow("the only row") << 1 << 0 << QStringList{} << -1;
}

void TestEntryCommands::deleteSelectsNeighbour() {
    QFETCH(int, rows);
    QFETCH(int, selected);
    QFETCH(QStringList, left);
    QFETCH(int, selectedAfter);

    Start(rows);
    Client->ShowAndSelect(selected);
    Scripted->Answers = {Prompts::Button::Yes};
    Client->Handle(Cmd::DeleteEntry);
    QCOMPARE(Rows(), left);
    QCOMPARE(Client->FindSelectedRow(), selectedAfter < 0 ? std::nullopt : std::optional<int>(selectedAfter));
    QCOMPARE(Client->GetHasEntries(), selectedAfter >= 0);
    QVERIFY(Client->GetChanged());
    for (const int command : {Cmd::DuplicateEntry, Cmd::ModifyEntry, Cmd::DeleteEntry})
        QCOMPARE(Client->Enabled(command), std::optional<bool>(selectedAfter >= 0));
}

void TestEntryCommands::deleteAnsweredNo() {
    Start(3);
    Client->ShowAndSelect(1);
    Scripted->Answers = {Prompts::Button::No};
    Client->Handle(Cmd::DeleteEntry);

    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &question = Scripted->Messages.constFirst();
    QCOMPARE(question.Text, QStringLiteral("Are you sure you want to delete this item? (Item cannot be undeleted!)"));
    QCOMPARE(question.Caption, QStringLiteral("Delete Entry"));
    QCOMPARE(question.BoxIcon, Prompts::Icon::Question);
    QCOMPARE(question.Buttons, (QList<Prompts::Button>{Prompts::Button::Yes, Prompts::Button::No}));
    QCOMPARE(question.Default, Prompts::Button::No);
    QCOMPARE(Client->List().RowCount(), 3);
    QCOMPARE(Client->FindSelectedRow(), std::optional<int>(1));
    QVERIFY(!Client->GetChanged());
}

void TestEntryCommands::enablersFollowHasEntries() {
    Start(0);
    CommandTarget &list = Client->findChild<EntryCommands *>()->ListResponses();
    QVERIFY(Client->HasHandler(Cmd::AddEntry));
    QCOMPARE(Client->Enabled(Cmd::AddEntry), std::nullopt); // always available
    QCOMPARE(list.Enabled(Cmd::ListAddEntry), std::nullopt);
    for (const int command : {Cmd::DuplicateEntry, Cmd::ModifyEntry, Cmd::DeleteEntry})
        QCOMPARE(Client->Enabled(command), std::optional<bool>(false));
    for (const int command : {Cmd::ListDuplicateEntry, Cmd::ListModifyEntry, Cmd::ListDeleteEntry})
        QCOMPARE(list.Enabled(command), std::optional<bool>(false));

    ScriptEditor(true);
    Client->Handle(Cmd::AddEntry);
    for (const int command : {Cmd::DuplicateEntry, Cmd::ModifyEntry, Cmd::DeleteEntry})
        QCOMPARE(Client->Enabled(command), std::optional<bool>(true));
    for (const int command : {Cmd::ListDuplicateEntry, Cmd::ListModifyEntry, Cmd::ListDeleteEntry})
        QCOMPARE(list.Enabled(command), std::optional<bool>(true));
}

void TestEntryCommands::contextMenuOnRow() {
    Start(3);
    Client->ShowAndSelect(2);
    QWidget *viewport = Client->ListWindow()->viewport();
    const QPoint position = RowCentre(0);

    QStringList items;
    QList<bool> enabled;
    QTimer::singleShot(0, this, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (const QAction *action : menu->actions()) {
            items.append(action->text());
            enabled.append(action->isEnabled());
        }
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(3)).center());
    });
    Scripted->Answers = {Prompts::Button::Yes};
    // A right press selects the row under the pointer; the platform then asks for the context menu.
    QTest::mousePress(viewport, Qt::RightButton, {}, position);
    QContextMenuEvent request(QContextMenuEvent::Mouse, position, viewport->mapToGlobal(position));
    QApplication::sendEvent(viewport, &request);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, position);

    QCOMPARE(items, (QStringList{"Add Entry...", "Duplicate Entry", "Modify Entry...", "Delete Entry..."}));
    QCOMPARE(enabled, (QList<bool>{true, true, true, true}));
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages.constFirst().Caption, QStringLiteral("Delete Entry"));
    QCOMPARE(Rows(), (QStringList{ThreeRows[1], ThreeRows[2]})); // the row right-clicked went
    QCOMPARE(Client->FindSelectedRow(), std::optional<int>(0));
}

void TestEntryCommands::contextMenuOnEmptyLog() {
    Start(0);
    QWidget *viewport = Client->ListWindow()->viewport();
    const QPoint position(20, 20);
    QList<bool> enabled;
    QTimer::singleShot(0, this, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (const QAction *action : menu->actions())
            enabled.append(action->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(0)).center());
    });
    ScriptEditor(true);
    QContextMenuEvent request(QContextMenuEvent::Mouse, position, viewport->mapToGlobal(position));
    QApplication::sendEvent(viewport, &request);

    QCOMPARE(enabled, (QList<bool>{true, false, false, false}));
    QCOMPARE(Openings.size(), 1); // Add Entry... opened the editor
    QCOMPARE(Client->List().RowCount(), 1);
}

void TestEntryCommands::doubleClickModifies() {
    Start(3);
    ScriptEditor(false);
    QTest::mouseDClick(Client->ListWindow()->viewport(), Qt::LeftButton, {}, RowCentre(1));
    QTRY_COMPARE(Openings.size(), 1);
    QCOMPARE(Openings.constFirst().Notes, std::string("second"));
    QCOMPARE(Openings.constFirst().DistanceUnit, 1);
    QCOMPARE(Client->FindSelectedRow(), std::optional<int>(1));
    QVERIFY(!Client->GetChanged());
}

QTEST_MAIN(TestEntryCommands)
#include "tst_EntryCommands.moc"
