#include "frame/MenuTables.h"

#include <QHash>

#include "frame/CommandIds.h"

namespace MenuTables {
namespace {

constexpr int MaxHintLength = 127;
constexpr int MaxToolTipLength = 49;

// The status bar's indicator string; the lock indicators are its second to fourth fields.
const QString IndicatorString = QStringLiteral("EXT|CAPS|NUM|SCRL|OVR|REC");
constexpr int FirstLockIndicatorField = 1;
constexpr int LockIndicatorCount = 3;

// The system menu's commands, which have hint strings but no items of their own in menu 100.
constexpr int SysRestore = 61728;
constexpr int SysMove = 61456;
constexpr int SysSize = 61440;
constexpr int SysMinimize = 61472;
constexpr int SysMaximize = 61488;
constexpr int SysClose = 61536;

const QHash<int, QString> &Strings() {
    static const QHash<int, QString> strings{
        {Cmd::FileNew, QStringLiteral("Create a new file")},
        {Cmd::FileOpen, QStringLiteral("Open an existing file")},
        {Cmd::FileSave, QStringLiteral("Save this file")},
        {Cmd::FileSaveAs, QStringLiteral("Save this file with a new name")},
        {Cmd::ImportActivities, QStringLiteral("Add runs from GPX, TCX, FIT or CSV files of a watch or a phone")},
        {Cmd::Exit, QStringLiteral("Exit Pacequill")},
        {Cmd::AddEntry, QStringLiteral("Add a log entry")},
        {Cmd::DuplicateEntry, QStringLiteral("Duplicate the selected log entry")},
        {Cmd::ModifyEntry, QStringLiteral("Modify the selected log entry")},
        {Cmd::DeleteEntry, QStringLiteral("Delete the selected log entry")},
        {Cmd::StatsWeekly, QStringLiteral("Opens the Weekly Tab in the Statistics dialog box")},
        {Cmd::StatsMonthly, QStringLiteral("Opens the Monthly Tab in the Statistics dialog box")},
        {Cmd::StatsYearly, QStringLiteral("Opens the Yearly Tab in the Statistics dialog box")},
        {Cmd::StatsFromThru, QStringLiteral("Opens the From/Thru Tab in the Statistics dialog box")},
        {Cmd::StatsCharts, QStringLiteral("Shows charts of weekly distance, year over year and consistency")},
        {Cmd::StatsRecords, QStringLiteral("Shows personal records and predicted race times")},
        {Cmd::HelpTopics, QStringLiteral("Help on using Pacequill")},
        {Cmd::HelpOnHelp, QStringLiteral("Help on using online Help")},
        {Cmd::About, QStringLiteral("About the Pacequill application")},
        {SysRestore, QStringLiteral("Restores the window to its previous size")},
        {SysMove, QStringLiteral("Moves the window to another position")},
        {SysSize, QStringLiteral("Changes the size of the window")},
        {SysMinimize, QStringLiteral("Reduces the window to an icon")},
        {SysMaximize, QStringLiteral("Enlarges the window to it maximum size")},
        {SysClose, QStringLiteral("Closes the window")},
    };
    return strings;
}

} // namespace

const QList<PopupMenu> &Menu100() {
    static const QList<PopupMenu> menu{
        {QStringLiteral("&File"),
         {{QStringLiteral("&New"), Cmd::FileNew},
          {QStringLiteral("&Open..."), Cmd::FileOpen},
          {},
          {QStringLiteral("&Save"), Cmd::FileSave, true},
          {QStringLiteral("Save &As..."), Cmd::FileSaveAs, true},
          {QStringLiteral("&Import Activities..."), Cmd::ImportActivities},
          {},
          {QStringLiteral("E&xit\tAlt+F4"), Cmd::Exit}}},
        {QStringLiteral("&Edit"),
         {{QStringLiteral("&Add Entry..."), Cmd::AddEntry},
          {QStringLiteral("D&uplicate Entry"), Cmd::DuplicateEntry},
          {QStringLiteral("&Modify Entry..."), Cmd::ModifyEntry},
          {QStringLiteral("&Delete Entry..."), Cmd::DeleteEntry}}},
        {QStringLiteral("&Stats"),
         {{QStringLiteral("&Weekly..."), Cmd::StatsWeekly},
          {QStringLiteral("&Monthly..."), Cmd::StatsMonthly},
          {QStringLiteral("&Yearly..."), Cmd::StatsYearly},
          {QStringLiteral("&From/Thru..."), Cmd::StatsFromThru},
          {},
          {QStringLiteral("&Charts..."), Cmd::StatsCharts},
          {QStringLiteral("&Records..."), Cmd::StatsRecords}}},
        {QStringLiteral("&Help"),
         {{QStringLiteral("Using &Pacequill"), Cmd::HelpTopics},
          {QStringLiteral("&Using Help"), Cmd::HelpOnHelp},
          {},
          {QStringLiteral("&About..."), Cmd::About}}},
    };
    return menu;
}

const QList<int> &ToolbarGadgets() {
    static const QList<int> gadgets{
        Cmd::FileNew,     Cmd::FileOpen,       Cmd::FileSave,    Cmd::FileSaveAs,    0,
        Cmd::AddEntry,    Cmd::DuplicateEntry, Cmd::ModifyEntry, Cmd::DeleteEntry,   0,
        Cmd::StatsWeekly, Cmd::StatsMonthly,   Cmd::StatsYearly, Cmd::StatsFromThru, 0,
        Cmd::HelpTopics,
    };
    return gadgets;
}

QString StringResource(int command) {
    return Strings().value(command);
}

QString MenuText(int command) {
    for (const PopupMenu &popup : Menu100()) {
        for (const MenuItem &item : popup.Items) {
            if (item.Command == command)
                return item.Text;
        }
    }
    return {};
}

QString HintFor(int command) {
    const QString text = StringResource(command);
    return text.left(text.indexOf(QLatin1Char('\n'))).left(MaxHintLength);
}

QString ToolTipFromMenuText(const QString &menuText) {
    QString text = menuText.left(menuText.indexOf(QLatin1Char('\t')));
    text = text.left(text.indexOf(QLatin1Char('\b')));
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (const qsizetype ampersand = text.indexOf(QLatin1Char('&')); ampersand >= 0)
        text.remove(ampersand, 1);
    return text.left(MaxToolTipLength);
}

QString ToolTipFor(int command) {
    if (const QString menuText = MenuText(command); !menuText.isEmpty())
        return ToolTipFromMenuText(menuText);
    const QString text = StringResource(command);
    const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'));
    return lineBreak < 0 ? QString() : text.mid(lineBreak + 1).left(MaxToolTipLength);
}

QStringList LockIndicatorLabels() {
    return IndicatorString.split(QLatin1Char('|')).mid(FirstLockIndicatorField, LockIndicatorCount);
}

} // namespace MenuTables
