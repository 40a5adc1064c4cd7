#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The program's menu 100, its toolbar, its hint strings and the texts derived from them.
namespace MenuTables {

struct MenuItem {
    QString Text;        // with "&" mnemonics and an optional TAB and key text; empty for a separator
    int Command = 0;     // 0 for a separator
    bool Greyed = false; // grey as the table holds it, until the menu's first enabling pass
};

struct PopupMenu {
    QString Title;
    QList<MenuItem> Items;
};

// Menu 100: File, Edit, Stats and Help.
const QList<PopupMenu> &Menu100();
// The toolbar's gadgets left to right; 0 marks a separator.
const QList<int> &ToolbarGadgets();
// The string resource for a command: its hint (up to the first line break), and possibly a tooltip after it.
// Empty when there is none.
QString StringResource(int command);
// The menu text of the item that carries command, empty when no menu item does.
QString MenuText(int command);

// The status-bar hint for a command: its string up to the first line break, at most 127 characters.
QString HintFor(int command);
// A button's tooltip from a menu text: cut at the first TAB and the first backspace, trailing full stops
// dropped, the first "&" removed, at most 49 characters.
QString ToolTipFromMenuText(const QString &menuText);
// The tooltip for a command: from its menu item, otherwise the part after the first line break of its string;
// empty when there is neither.
QString ToolTipFor(int command);
// The labels of the status bar's Caps Lock, Num Lock and Scroll Lock indicators.
QStringList LockIndicatorLabels();

} // namespace MenuTables
