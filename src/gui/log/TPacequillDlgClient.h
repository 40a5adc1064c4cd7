#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include <optional>

#include "frame/CommandTarget.h"
#include "log/LogTableModel.h"
#include "log/TPQLComparator.h"

class TPacequillListWindow;

// The document client: the dialog inside the main frame that holds the log list, the path of the open log and
// whether it has unsaved changes. It carries out the file commands and asks before changes are dropped.
class TPacequillDlgClient : public QWidget, public CommandTarget {
    Q_OBJECT

public:
    static constexpr int TemplateId = 2000;
    static constexpr int ListId = 190;

    explicit TPacequillDlgClient(QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // Sets up the columns, then opens the log that the whole command-line text names (one pair of enclosing
    // double quotes removed), or starts an untitled log when the text is empty.
    void SetupWindow(const QString &rawCommandLine);
    // Whether the window may close: asks about unsaved changes first.
    bool CanClose();

    // The file commands. Save and SaveAs answer whether the log was written.
    void New();
    void Open();
    bool Save();
    bool SaveAs();
    // Asks whether to save unsaved changes; true when the pending command may go on.
    bool AskSaveChanges();
    // Replaces the log with the file's rows; false (with a message, the log as it was) when the file exists but
    // cannot be read, or when it does not look like a log and the user chooses not to open it. A missing file
    // gives an empty log under its name.
    bool LoadLog(const QString &path);
    // Writes the log to the path; false (with a message, the log still marked changed) when it cannot.
    bool WriteLog(const QString &path);
    void SortByColumn(int column);

    // The file name shown in the caption: after the last backslash or slash, leading dots skipped, up to the
    // next dot.
    static QString CaptionName(const QString &path);
    // The Open and Save As filter in Qt's form; on Linux each pattern matches upper and lower case.
    static QString FileDialogFilter();
    void SetFrameCaption(const QString &text);

    // For the entry commands.
    LogTableModel &Rows() { return Model; }
    const pq::LogList &List() const { return Model.List(); }
    TPacequillListWindow *ListWindow() const { return ListView; }
    std::optional<int> FindSelectedRow() const { return Model.List().SelectedRow(); }
    void ShowAndSelect(int row);
    // Selects the last row and scrolls it into view; the log has entries.
    void SelectLastRow();

    bool GetUntitled() const { return Untitled; }
    bool GetChanged() const { return Changed; }
    void SetChanged(bool changed) { Changed = changed; }
    bool GetHasEntries() const { return HasEntries; }
    void SetHasEntries(bool hasEntries) { HasEntries = hasEntries; }
    const QString &GetFilePath() const { return FilePath; }
    const QString &GetOpenPath() const { return OpenPath; }
    const pq::SortState &GetSortState() const { return Sort; }

signals:
    // Files were dropped on the log (once the drop has ended); the shell hands them to the import. The client
    // takes drops only once something listens (setAcceptDrops).
    void FilesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void OnRowSelected(int row);
    // Asks whether to open a file that does not look like a log; true when the user says yes.
    bool ConfirmNotALog(const QString &path);

    LogTableModel Model;
    TPacequillListWindow *ListView = nullptr;
    QSize DialogSize;

    bool Untitled = true;
    bool Changed = false;
    bool HasEntries = false;
    // Paths are kept whole, however long; the file system decides which it accepts.
    QString OpenPath;
    QString FilePath;
    pq::SortState Sort;
};
