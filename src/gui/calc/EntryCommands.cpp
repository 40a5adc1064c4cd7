#include "calc/EntryCommands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>

#include <algorithm>
#include <string_view>

#include "calc/DateRules.h"
#include "calc/DistanceTimeParts.h"
#include "calc/RunArithmetic.h"
#include "calc/TPacequillCalc.h"
#include "frame/CommandEvent.h"
#include "frame/CommandIds.h"
#include "frame/HelpClient.h"
#include "frame/Prompts.h"
#include "insight/MarkTotals.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"
#include "log/TPacequillDlgClient.h"
#include "log/TPacequillListWindow.h"

namespace {

struct MenuItem {
    int Command;
    const char *Text;
};
constexpr MenuItem ContextMenuItems[] = {
    {Cmd::ListAddEntry, "Add Entry..."},
    {Cmd::ListDuplicateEntry, "Duplicate Entry"},
    {Cmd::ListModifyEntry, "Modify Entry..."},
    {Cmd::ListDeleteEntry, "Delete Entry..."},
};

const QString NothingToDuplicateText = QStringLiteral("There is nothing to duplicate!");
const QString DuplicateCaption = QStringLiteral("Duplicate Entry");
const QString NothingToModifyText = QStringLiteral("There is nothing to modify!");
const QString ModifyCaption = QStringLiteral("Modify Entry");
const QString NothingToDeleteText = QStringLiteral("There is nothing to delete!");
const QString DeleteCaption = QStringLiteral("Delete Entry");
const QString DeleteQuestionText =
    QStringLiteral("Are you sure you want to delete this item? (Item cannot be undeleted!)");
const QString NoUnitsText = QStringLiteral("No distance units found. Miles will be the default.");
const QString NoUnitsCaption = QStringLiteral("Debug Message");

// Opens the list's context menu from the keyboard, as on other desktops.
constexpr QKeyCombination ContextMenuKey = Qt::SHIFT | Qt::Key_F10;

// A new entry: Miles, pace per mile, and the calculator set to give the pace.
constexpr int DefaultDistanceUnit = static_cast<int>(pq::DistanceUnit::Miles);
constexpr int DefaultPaceUnit = static_cast<int>(pq::PaceUnit::PerMile);
constexpr int DefaultCalcMode = static_cast<int>(pq::CalcMode::Pace);

} // namespace

EntryCommands::EntryCommands(TPacequillDlgClient &client) : QObject(&client), Client(client), Help(CreateHelpClient()) {
    const auto hasEntries = [this] { return HasEntries(); };
    Client.AddResponse(Cmd::AddEntry, [this] { AddEntry(); });
    Client.AddResponse(
        Cmd::DuplicateEntry, [this] { DuplicateEntry(); }, hasEntries);
    Client.AddResponse(
        Cmd::ModifyEntry, [this] { ModifyEntry(); }, hasEntries);
    Client.AddResponse(
        Cmd::DeleteEntry, [this] { DeleteEntry(); }, hasEntries);

    TPacequillListWindow *list = Client.ListWindow();
    list->AddResponse(Cmd::ListAddEntry, [this] { AddEntry(); });
    list->AddResponse(
        Cmd::ListDuplicateEntry, [this] { DuplicateEntry(); }, hasEntries);
    list->AddResponse(
        Cmd::ListModifyEntry, [this] { ModifyEntry(); }, hasEntries);
    list->AddResponse(
        Cmd::ListDeleteEntry, [this] { DeleteEntry(); }, hasEntries);

    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, &EntryCommands::ShowContextMenu);
    auto *menuKey = new QShortcut(QKeySequence(ContextMenuKey), list);
    menuKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(menuKey, &QShortcut::activated, this, &EntryCommands::ShowContextMenuForKeyboard);
    list->viewport()->installEventFilter(this);
}

CommandTarget &EntryCommands::ListResponses() {
    return *Client.ListWindow();
}

EntryCommands::~EntryCommands() = default;

bool EntryCommands::HasEntries() const {
    return Client.GetHasEntries();
}

bool EntryCommands::RunEditor(TPacequillCalc &editor) {
    QStringList marks;
    for (const char sign : {pq::TagSign, pq::ShoeSign}) {
        for (const std::string &name : pq::MarkNames(Client.List(), sign)) {
            marks << QChar::fromLatin1(sign) + QString::fromStdU16String(pq::Decode1252(name));
        }
    }
    editor.SetNoteMarks(marks);
    editor.Execute();
    return editor.Accepted == 1;
}

void EntryCommands::AddEntry() {
    TPacequillCalc editor(&Client, Help.get());
    editor.Accepted = 0;
    editor.DistanceUnitIndex = DefaultDistanceUnit;
    editor.PaceUnitIndex = DefaultPaceUnit;
    editor.CalcModeIndex = DefaultCalcMode;
    editor.EntryDate = pq::TodayDateText();
    if (!RunEditor(editor))
        return;
    Client.SetChanged(true);
    Client.Rows().AppendRow(editor.RowText);
    Client.SelectLastRow();
}

void EntryCommands::DuplicateEntry() {
    const std::optional<int> selected = Client.FindSelectedRow();
    if (!selected) {
        Prompts::Error(&Client, DuplicateCaption, NothingToDuplicateText);
        return;
    }
    Client.SetChanged(true);
    Client.Rows().AppendRow(pq::LogList::JoinEntry(Client.List().ReadEntry(*selected)));
    Client.SelectLastRow();
}

void EntryCommands::ModifyEntry() {
    const std::optional<int> selected = Client.FindSelectedRow();
    if (!selected) {
        Prompts::Error(&Client, ModifyCaption, NothingToModifyText);
        return;
    }
    TPacequillCalc editor(&Client, Help.get());
    editor.Accepted = 0;
    const EditorTexts texts = SplitForEditor(Client.List().ReadEntry(*selected));
    if (!texts.UnitFound)
        Prompts::Error(&Client, NoUnitsCaption, NoUnitsText);
    editor.EntryDate = texts.Date;
    editor.EntryDistance = texts.Distance;
    editor.EntryHours = texts.Hours;
    editor.EntryMinutes = texts.Minutes;
    editor.EntrySeconds = texts.Seconds;
    editor.EntryNotes = texts.Notes;
    editor.DistanceUnitIndex = texts.DistanceUnit;
    editor.PaceUnitIndex = DefaultPaceUnit;
    editor.CalcModeIndex = DefaultCalcMode;
    if (!RunEditor(editor))
        return;
    // The edited entry leaves its place and becomes the last row.
    Client.SetChanged(true);
    Client.Rows().RemoveRow(*selected);
    Client.Rows().AppendRow(editor.RowText);
    Client.SelectLastRow();
}

void EntryCommands::DeleteEntry() {
    const std::optional<int> selected = Client.FindSelectedRow();
    if (!selected) {
        Prompts::Error(&Client, DeleteCaption, NothingToDeleteText);
        return;
    }
    const Prompts::Button answer = Prompts::Question(&Client, DeleteCaption, DeleteQuestionText,
                                                     {Prompts::Button::Yes, Prompts::Button::No}, Prompts::Button::No);
    if (answer != Prompts::Button::Yes)
        return;
    Client.SetChanged(true);
    const int rowsBefore = Client.List().RowCount();
    Client.Rows().RemoveRow(*selected);
    if (rowsBefore == 1) {
        Client.SetHasEntries(false);
        return;
    }
    // The row that followed the deleted one takes the selection, or the one before when the last row went.
    Client.ShowAndSelect(*selected == rowsBefore - 1 ? *selected - 1 : *selected);
    Client.SetHasEntries(true);
}

EntryCommands::EditorTexts EntryCommands::SplitForEditor(const pq::LogEntry &entry) {
    EditorTexts texts;
    texts.Date = entry.Date;
    texts.Notes = entry.Notes;

    const pq::DistanceParts distance = pq::SplitDistanceText(entry.Distance);
    texts.Distance = distance.Number;
    pq::DistanceUnit unit = pq::DistanceUnit::Miles;
    texts.UnitFound = pq::RecognizeUnit(distance.UnitWord, unit);
    texts.DistanceUnit = texts.UnitFound ? static_cast<int>(unit) : DefaultDistanceUnit;

    const pq::TimeParts time = pq::SplitTimeText(entry.Time);
    texts.Hours = time.Hours;
    texts.Minutes = time.Minutes;
    texts.Seconds = time.Seconds;
    return texts;
}

// The menu is made anew at each right-click and run after the list view has handled the press, so a right-click
// on a row selects that row first. The chosen command is posted like a menu command, so that context help and a
// held F1 see it; routing brings it to the list view, which has the focus since the press.
void EntryCommands::ShowContextMenu(QPoint viewportPosition) {
    TPacequillListWindow *list = Client.ListWindow();
    QMenu menu(list);
    for (const MenuItem &item : ContextMenuItems) {
        QAction *action = menu.addAction(QString::fromLatin1(item.Text));
        action->setData(item.Command);
        action->setEnabled(list->Enabled(item.Command).value_or(true));
    }
    const QAction *chosen = menu.exec(list->viewport()->mapToGlobal(viewportPosition));
    if (chosen)
        CommandEvent::Post(chosen->data().toInt());
}

void EntryCommands::ShowContextMenuForKeyboard() {
    TPacequillListWindow *list = Client.ListWindow();
    const QModelIndex current = list->currentIndex();
    const QRect row = current.isValid() ? list->visualRect(current) : QRect();
    ShowContextMenu(row.isValid() ? row.center() : QPoint());
}

// A double-click opens Modify after the list view's own handling, which selects the row under the pointer.
bool EntryCommands::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonDblClick && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        QMetaObject::invokeMethod(this, &EntryCommands::ModifyEntry, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}
