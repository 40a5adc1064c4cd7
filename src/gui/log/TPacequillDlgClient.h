#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

#include "frame/CommandTarget.h"
#include "log/CollationRanks.h"
#include "log/LogDiskState.h"
#include "log/LogMerge.h"
#include "log/LogPreload.h"
#include "log/LogTableModel.h"
#include "log/TPQLComparator.h"

class LogFileWatch;
class LogProfileWatch;
class TPacequillListWindow;

// The document client: the dialog inside the main frame that holds the log list, the path of the open log and
// whether it has unsaved changes. It carries out the file commands and asks before changes are dropped.
class TPacequillDlgClient : public QWidget, public CommandTarget {
    Q_OBJECT

public:
    static constexpr int TemplateId = 2000;
    static constexpr int ListId = 190;

    explicit TPacequillDlgClient(QWidget *parent = nullptr);
    ~TPacequillDlgClient() override;

    QSize sizeHint() const override;

    // Sets up the columns, then opens the log that the whole command-line text names (one pair of enclosing
    // double quotes removed), or starts an untitled log when the text is empty. The log is taken from the
    // preload when one reads it.
    void SetupWindow(const QString &rawCommandLine, std::unique_ptr<pq::LogPreload> preload = {});
    // Starts reading the log that the command-line text names, so that SetupWindow finds it read, or nothing when
    // the text names none. The program calls it before it builds its window.
    static std::unique_ptr<pq::LogPreload> PreloadCommandLine(const QString &rawCommandLine);
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
    // Writes the log to the path, under the log's lock; false (with a message, the log still marked changed) when
    // it cannot. When the path is the open log's file and another program changed it since it was read or written
    // here, the other program's changes are merged in after a question (Cancel writes nothing), and a file removed
    // meanwhile is written anew after a question.
    bool WriteLog(const QString &path);
    // Looks at the open log's file: with no unsaved changes, a file another program changed is read again, keeping
    // the selection and the scroll position where their rows still exist; a changed profile is read again whatever
    // the log's state. Done when the file or its folder change and when the window is activated.
    void CheckDisk();
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
    // The profile beside the log's file, read with the log.
    LogProfileWatch &Profile() const { return *ProfileWatch; }
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
    // The client is going, its log still whole: a module that reads the log in the background stops.
    void Closing();

protected:
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void OnRowSelected(int row);
    // Asks whether to open a file that does not look like a log; true when the user says yes.
    bool ConfirmNotALog(const QString &path);
    // Remembers the file as it is on disk now, with the log's rows (or the rows that replace them next) as its
    // base.
    void RememberDisk(const pq::LogDiskState &state);
    void ForgetDisk();
    // Shows other rows in the list, keeping the selected row and the top row where they still exist.
    void ReplaceRowsKeepingPlace(pq::LogList &&rows);
    bool AskMerge(const QString &path, const pq::MergedLog &merged);
    // For a save onto the open file that another program changed: what the save takes from the disk (planned is
    // filled in from the bytes read), asked about; false when the user cancels or the file cannot be read.
    bool PlanMerge(const QString &path, const std::string &target, pq::LogDiskState &planned,
                   std::optional<pq::MergedLog> &merged);
    bool AskWriteAnew(const QString &path);
    void ShowStatus(const QString &text);
    // The path the whole command-line text names: one pair of enclosing double quotes removed.
    static QString CommandLinePath(const QString &rawCommandLine);

    LogTableModel Model;
    TPacequillListWindow *ListView = nullptr;
    QSize DialogSize;

    bool Untitled = true;
    bool Changed = false;
    bool HasEntries = false;
    // Paths are kept whole, however long; the file system decides which it accepts.
    QString OpenPath;
    QString FilePath;
    // The log the command line names, being read while the window was built, until LoadLog takes it.
    std::unique_ptr<pq::LogPreload> Preloaded;
    pq::SortState Sort;
    // Each column's texts as ranked by the last sorts, until other rows replace the log's.
    std::array<CollationRanks, pq::ColumnCount> SortTexts;

    // The file as it stood when last read or written (the model keeps its rows as the base); Tracking while it
    // describes FilePath.
    pq::LogDiskState Disk;
    bool Tracking = false;
    LogFileWatch *Watch = nullptr;
    LogProfileWatch *ProfileWatch = nullptr;
};
