#pragma once

#include <QObject>
#include <QPoint>

#include <memory>
#include <string>

#include "frame/CommandTarget.h"

class HelpClient;
class TPacequillCalc;
class TPacequillDlgClient;

namespace pq {
struct LogEntry;
}

// The entry commands of the document client: Add, Duplicate, Modify and Delete, from the Edit menu and toolbar
// (through the client's response table), from the log list's context menu and, for Modify, from a double-click
// on the list. Add and Modify run the entry editor; every completed command marks the log changed.
class EntryCommands : public QObject {
    Q_OBJECT

public:
    // The texts and selections a stored entry opens the editor with.
    struct EditorTexts {
        std::string Date;
        std::string Distance;
        std::string Hours;
        std::string Minutes;
        std::string Seconds;
        std::string Notes;
        int DistanceUnit = 0;
        bool UnitFound = true; // false: the distance text names no unit, Miles stands in
    };

    // Registers the commands with the client and takes over its list view's context menu and double-click.
    explicit EntryCommands(TPacequillDlgClient &client);
    ~EntryCommands() override;

    void AddEntry();
    void DuplicateEntry();
    void ModifyEntry();
    void DeleteEntry();

    // Splits a row's texts for the editor: the distance into number and unit, the time into its three parts.
    static EditorTexts SplitForEditor(const pq::LogEntry &entry);

    // The list view's response table: the context-menu commands with their enablers.
    CommandTarget &ListResponses();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowContextMenu(QPoint viewportPosition);
    // Shift+F10: the context menu at the current row, or at the top of the list when there is none.
    void ShowContextMenuForKeyboard();
    // Runs an editor prepared by the caller; true when the user confirmed an entry.
    bool RunEditor(TPacequillCalc &editor);
    bool HasEntries() const;

    TPacequillDlgClient &Client;
    std::unique_ptr<HelpClient> Help;
};
