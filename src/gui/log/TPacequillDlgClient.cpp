#include "log/TPacequillDlgClient.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMimeData>
#include <QStatusBar>
#include <QStringList>
#include <QUrl>

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "frame/CommandIds.h"
#include "frame/DialogTemplate.h"
#include "frame/ProgramName.h"
#include "frame/Prompts.h"
#include "log/LocaleCollation.h"
#include "log/LogFile.h"
#include "log/LogFileWatch.h"
#include "log/LogLock.h"
#include "log/LogProfileWatch.h"
#include "log/PathBytes.h"
#include "log/TPacequillListWindow.h"

namespace {

const QString CaptionSeparator = QStringLiteral(" - ");

const QString SaveChangesText = QStringLiteral("Changes have been made. Would you like to save these changes?");
const QString SaveChangesCaption = QStringLiteral("Contents have changed");
const QString SaveFailedText = QStringLiteral("The log was not saved.\n\n%1");
const QString SaveFailedCaption = QStringLiteral("Save failed");
const QString OpenFailedText = QStringLiteral("The log could not be opened.\n\n%1");
const QString OpenFailedCaption = QStringLiteral("Open failed");
const QString NotALogText = QStringLiteral("%1 does not look like a Pacequill log. Open it anyway?");
const QString NotALogCaption = QStringLiteral("Open");
const QString MergeText = QStringLiteral(
    "%1 was changed by another program: %2 added and %3 removed there. Save your changes together with those?");
const QString OneRun = QStringLiteral("1 run");
const QString SomeRuns = QStringLiteral("%1 runs");
const QString RemovedText = QStringLiteral("%1 was removed by another program. Save the log there anew?");
const QString SaveCaption = QStringLiteral("Save");
const QString ReloadedText = QStringLiteral("Reloaded: changed by another program");

// Description and pattern pairs, separated by bars, as the file dialogs of the log's first home took them.
const QString LogFileFilter = QStringLiteral("Pacequill Files (*.PQUIL) |*.pquil|Pacequill Files (*.PQL)|*.pql");
const QString DefaultExtension = QStringLiteral("pquil");

std::string FileSystemPath(const QString &path) {
    return PathBytes::Encode(path).toStdString();
}

QString ReportText(const std::string &report) {
    return QString::fromLocal8Bit(report.data(), static_cast<qsizetype>(report.size()));
}

Prompts::FileDialogSpec LogFileDialog() {
    Prompts::FileDialogSpec settings;
    settings.Filter = TPacequillDlgClient::FileDialogFilter();
    settings.DefaultSuffix = DefaultExtension;
    return settings;
}

// Whether two paths name one file: through links and other names when it exists, by their bytes when not.
bool SameLogFile(const std::string &first, const std::string &second) {
    std::error_code error;
    return first == second || std::filesystem::equivalent(first, second, error);
}

QString RunCount(std::size_t runs) {
    return runs == 1 ? OneRun : SomeRuns.arg(runs);
}

// The row of a list whose texts equal the given row's, the one nearest to where it was; -1 when none.
int FindRow(const pq::LogList &list, const pq::RecordTexts &texts, int near) {
    int found = -1;
    for (int row = 0; row < list.RowCount(); ++row) {
        if (pq::TextsOfRow(list, row) == texts && (found < 0 || std::abs(row - near) < std::abs(found - near)))
            found = row;
    }
    return found;
}

// The local files among dropped URLs.
QStringList DroppedFiles(const QMimeData *data) {
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        const QString path = PathBytes::FromUrl(url);
        if (!path.isEmpty())
            paths.append(path);
    }
    return paths;
}

} // namespace

TPacequillDlgClient::TPacequillDlgClient(QWidget *parent) : QWidget(parent) {
    const DialogTemplate dialog = DialogTemplate::Load(TemplateId);
    dialog.Build(this, [this](const DialogTemplate::Control &control, QWidget *owner) -> QWidget * {
        if (control.Id != ListId)
            return nullptr;
        ListView = new TPacequillListWindow(owner);
        return ListView;
    });
    DialogSize = dialog.PixelSize();
    ListView->SetLogModel(&Model);
    connect(ListView, &TPacequillListWindow::HeaderClicked, this, &TPacequillDlgClient::SortByColumn);
    connect(ListView, &TPacequillListWindow::RowSelected, this, &TPacequillDlgClient::OnRowSelected);
    connect(&Model, &QAbstractItemModel::modelReset, this, [this] {
        for (CollationRanks &texts : SortTexts)
            texts.Clear();
    });

    Watch = new LogFileWatch(this);
    connect(Watch, &LogFileWatch::Touched, this, &TPacequillDlgClient::CheckDisk);
    ProfileWatch = new LogProfileWatch(this);

    AddResponse(Cmd::FileNew, [this] { New(); });
    AddResponse(Cmd::FileOpen, [this] { Open(); });
    AddResponse(Cmd::FileSave, [this] { Save(); });
    AddResponse(Cmd::FileSaveAs, [this] { SaveAs(); });
}

TPacequillDlgClient::~TPacequillDlgClient() {
    emit Closing();
}

QSize TPacequillDlgClient::sizeHint() const {
    return DialogSize;
}

QString TPacequillDlgClient::CommandLinePath(const QString &rawCommandLine) {
    if (rawCommandLine.startsWith(u'"') && rawCommandLine.endsWith(u'"'))
        return rawCommandLine.size() >= 2 ? rawCommandLine.mid(1, rawCommandLine.size() - 2) : QString();
    return rawCommandLine;
}

std::unique_ptr<pq::LogPreload> TPacequillDlgClient::PreloadCommandLine(const QString &rawCommandLine) {
    const QString path = CommandLinePath(rawCommandLine);
    if (path.isEmpty())
        return nullptr;
    return std::make_unique<pq::LogPreload>(FileSystemPath(path));
}

void TPacequillDlgClient::SetupWindow(const QString &rawCommandLine, std::unique_ptr<pq::LogPreload> preload) {
    ListView->SetupColumns();
    OpenPath = CommandLinePath(rawCommandLine);
    Preloaded = std::move(preload);
    if (!OpenPath.isEmpty() && LoadLog(OpenPath))
        return;
    Untitled = true;
    Changed = false;
    HasEntries = false;
    SetFrameCaption(ProgramName);
}

bool TPacequillDlgClient::CanClose() {
    return !Changed || AskSaveChanges();
}

void TPacequillDlgClient::New() {
    if (Changed && !AskSaveChanges())
        return;
    Untitled = true;
    Changed = false;
    HasEntries = false;
    Model.ClearRows();
    ForgetDisk();
    ProfileWatch->Load(QString());
    SetFrameCaption(ProgramName);
}

void TPacequillDlgClient::Open() {
    if (Changed && !AskSaveChanges())
        return;
    Prompts::FileDialogSpec settings = LogFileDialog();
    settings.MustExist = true;
    const QString path = PathBytes::Recover(Prompts::Current().OpenFileName(this, settings));
    if (path.isEmpty())
        return;
    OpenPath = path;
    LoadLog(OpenPath);
}

bool TPacequillDlgClient::Save() {
    if (Untitled)
        return SaveAs();
    return WriteLog(FilePath);
}

bool TPacequillDlgClient::SaveAs() {
    Prompts::FileDialogSpec settings = LogFileDialog();
    settings.ConfirmOverwrite = true;
    const QString path = PathBytes::Recover(Prompts::Current().SaveFileName(this, settings));
    if (path.isEmpty() || !WriteLog(path))
        return false;
    SetFrameCaption(ProgramName + CaptionSeparator + CaptionName(path));
    return true;
}

// Yes saves; when that save does not happen (Save As cancelled, write failed) the pending command must not go on,
// or the changes the user asked to keep would be lost.
bool TPacequillDlgClient::AskSaveChanges() {
    switch (Prompts::Question(this, SaveChangesCaption, SaveChangesText,
                              {Prompts::Button::Yes, Prompts::Button::No, Prompts::Button::Cancel},
                              Prompts::Button::Cancel)) {
    case Prompts::Button::Yes:
        return Save();
    case Prompts::Button::No:
        return true;
    default:
        return false;
    }
}

bool TPacequillDlgClient::LoadLog(const QString &path) {
    pq::LogList loaded;
    pq::LogDiskState before;
    pq::LoadResult result;
    if (const std::unique_ptr<pq::LogPreload> preload = std::move(Preloaded);
        preload && preload->Path() == FileSystemPath(path)) {
        result = preload->Take(loaded, before);
    } else {
        before = pq::StatLog(FileSystemPath(path));
        result = pq::LoadLog(FileSystemPath(path), loaded);
    }
    if (result.Status == pq::LoadStatus::Unreadable) {
        Prompts::Error(this, OpenFailedCaption, OpenFailedText.arg(ReportText(result.Error)));
        return false;
    }
    // Another kind of file would show as rows of junk, and Save would overwrite it in the log's format.
    if (!result.LooksLikeLog && !ConfirmNotALog(path))
        return false;
    // The file as read, with the hash of the bytes read: a change between the look before the read and the one
    // after it is seen at the next look.
    pq::LogDiskState state = pq::StatLog(FileSystemPath(path));
    state.Hash = result.Hash;
    if (!state.SameIdentity(before))
        state = before;
    RememberDisk(state);
    Model.ReplaceRows(std::move(loaded));
    FilePath = path;
    Untitled = false;
    Changed = false;
    Watch->FollowAfterPaint(path, ListView->viewport());
    if (Model.List().RowCount() > 0)
        SelectLastRow();
    else
        HasEntries = false;
    SetFrameCaption(ProgramName + CaptionSeparator + CaptionName(path));
    ProfileWatch->Load(path);
    return true;
}

bool TPacequillDlgClient::ConfirmNotALog(const QString &path) {
    return Prompts::Warning(this, NotALogCaption, NotALogText.arg(path), {Prompts::Button::Yes, Prompts::Button::No},
                            Prompts::Button::No) == Prompts::Button::Yes;
}

bool TPacequillDlgClient::PlanMerge(const QString &path, const std::string &target, pq::LogDiskState &planned,
                                    std::optional<pq::MergedLog> &merged) {
    if (!planned.Exists)
        return AskWriteAnew(path);
    pq::LogList onDisk;
    std::string error;
    if (!pq::ReadLogWithState(target, onDisk, planned, error)) {
        Prompts::Error(this, SaveFailedCaption, SaveFailedText.arg(ReportText(error)));
        return false;
    }
    if (planned.Hash != Disk.Hash) {
        merged = pq::MergeThreeWay(Model.BaseRows(), Model.List(), onDisk);
        return AskMerge(path, *merged);
    }
    return true;
}

bool TPacequillDlgClient::WriteLog(const QString &path) {
    const std::string target = FileSystemPath(path);
    const bool sameFile = Tracking && !Untitled && SameLogFile(target, FileSystemPath(FilePath));
    for (;;) {
        // What the save takes from the disk is settled and asked about before the lock, so that no other program
        // waits on a question; under the lock the file must still be as it was when asked about.
        pq::LogDiskState planned = pq::StatLog(target);
        std::optional<pq::MergedLog> merged;
        if (sameFile && !planned.SameIdentity(Disk) && !PlanMerge(path, target, planned, merged))
            return false;
        pq::LogLock lock(target);
        if (!lock.Acquire()) {
            Prompts::Error(this, SaveFailedCaption, SaveFailedText.arg(ReportText(lock.Error())));
            return false;
        }
        if (sameFile && !pq::StatLog(target).SameIdentity(planned))
            continue; // changed again meanwhile: look once more
        const pq::WriteResult result = pq::WriteLog(merged ? merged->Rows : Model.List(), target);
        if (!result.Ok) {
            Prompts::Error(this, SaveFailedCaption, SaveFailedText.arg(ReportText(result.Error)));
            return false;
        }
        if (merged)
            ReplaceRowsKeepingPlace(std::move(merged->Rows));
        RememberDisk(pq::HashLog(target));
        break;
    }
    FilePath = path;
    Untitled = false;
    Changed = false;
    Watch->Follow(path);
    // A log saved under another name has the profile beside its new file.
    if (ProfileWatch->LogPath() != path)
        ProfileWatch->Load(path);
    return true;
}

void TPacequillDlgClient::CheckDisk() {
    ProfileWatch->CheckDisk();
    if (!Tracking || Untitled || Changed)
        return; // unsaved changes are merged with the file when they are saved
    const std::string target = FileSystemPath(FilePath);
    const pq::LogDiskState now = pq::StatLog(target);
    if (now.SameIdentity(Disk) || !now.Exists)
        return; // a removed file is written anew at the next save
    Watch->Follow(FilePath);
    pq::LogList rows;
    pq::LogDiskState state;
    std::string error;
    if (!pq::ReadLogWithState(target, rows, state, error))
        return;
    const bool sameBytes = state.Hash == Disk.Hash;
    Disk = state;
    if (sameBytes)
        return;
    // The rows read become the base as they replace the log's.
    ReplaceRowsKeepingPlace(std::move(rows));
    ShowStatus(ReloadedText);
}

void TPacequillDlgClient::RememberDisk(const pq::LogDiskState &state) {
    Model.MarkBase();
    Disk = state;
    Tracking = true;
}

void TPacequillDlgClient::ForgetDisk() {
    Model.ForgetBase();
    Disk = {};
    Tracking = false;
    Watch->Follow(QString());
}

void TPacequillDlgClient::ReplaceRowsKeepingPlace(pq::LogList &&rows) {
    const pq::LogList &old = Model.List();
    const std::optional<int> selected = old.SelectedRow();
    const QModelIndex topIndex = ListView->indexAt(QPoint(0, 0));
    const int top = topIndex.isValid() ? topIndex.row() : -1;
    std::optional<pq::LogEntry> selectedEntry;
    std::optional<pq::LogEntry> topEntry;
    if (selected)
        selectedEntry = pq::LogEntry{
            std::string(old.Text(*selected, pq::DateColumn)), std::string(old.Text(*selected, pq::DistanceColumn)),
            std::string(old.Text(*selected, pq::TimeColumn)), std::string(old.Text(*selected, pq::NotesColumn))};
    if (top >= 0)
        topEntry =
            pq::LogEntry{std::string(old.Text(top, pq::DateColumn)), std::string(old.Text(top, pq::DistanceColumn)),
                         std::string(old.Text(top, pq::TimeColumn)), std::string(old.Text(top, pq::NotesColumn))};
    Model.ReplaceRows(std::move(rows));
    const pq::LogList &now = Model.List();
    HasEntries = now.RowCount() > 0;
    if (topEntry) {
        if (const int row = FindRow(now, pq::TextsOfEntry(*topEntry), top); row >= 0)
            ListView->scrollTo(Model.index(row, 0), QAbstractItemView::PositionAtTop);
    }
    if (selectedEntry) {
        if (const int row = FindRow(now, pq::TextsOfEntry(*selectedEntry), *selected); row >= 0) {
            Model.Select(row);
            ListView->selectRow(row);
        }
    }
}

bool TPacequillDlgClient::AskMerge(const QString &path, const pq::MergedLog &merged) {
    const QString text = MergeText.arg(QFileInfo(path).fileName(), RunCount(merged.Added)).arg(merged.Removed);
    return Prompts::Question(this, SaveCaption, text, {Prompts::Button::Yes, Prompts::Button::Cancel},
                             Prompts::Button::Yes) == Prompts::Button::Yes;
}

bool TPacequillDlgClient::AskWriteAnew(const QString &path) {
    return Prompts::Warning(this, SaveCaption, RemovedText.arg(QFileInfo(path).fileName()),
                            {Prompts::Button::Yes, Prompts::Button::Cancel},
                            Prompts::Button::Yes) == Prompts::Button::Yes;
}

void TPacequillDlgClient::ShowStatus(const QString &text) {
    if (auto *frame = qobject_cast<QMainWindow *>(window()))
        frame->statusBar()->showMessage(text);
}

void TPacequillDlgClient::SortByColumn(int column) {
    Sort.Click(column);
    Model.SortRows(
        LocaleCollation(Model.List(), column, Sort.SortAscending, SortTexts[static_cast<std::size_t>(column)]));
    ListView->ShowSortIndicator(column, Sort.SortAscending);
}

QString TPacequillDlgClient::CaptionName(const QString &path) {
    // Backslash is the separator of the paths this format comes from; slash is the one of this platform.
    const qsizetype lastSeparator = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    QStringView name = QStringView(path).mid(lastSeparator + 1);
    while (name.startsWith(u'.'))
        name = name.mid(1);
    const qsizetype dot = name.indexOf(u'.');
    return PathBytes::Readable((dot < 0 ? name : name.left(dot)).toString());
}

QString TPacequillDlgClient::FileDialogFilter() {
    const QStringList parts = LogFileFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description names its patterns in brackets itself; Qt's form puts the patterns there, so they are
        // written once.
        QString description = parts[i].trimmed();
        if (const qsizetype bracket = description.lastIndexOf(u'('); bracket > 0 && description.endsWith(u')'))
            description = description.left(bracket).trimmed();
        QString patterns = parts[i + 1];
#ifndef Q_OS_WIN
        // Linux file names are case-sensitive; logs from elsewhere often carry upper-case extensions.
        if (patterns.toUpper() != patterns)
            patterns += u' ' + patterns.toUpper();
#endif
        filters.append(description + QStringLiteral(" (") + patterns + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

void TPacequillDlgClient::SetFrameCaption(const QString &text) {
    window()->setWindowTitle(text);
}

void TPacequillDlgClient::ShowAndSelect(int row) {
    Model.Select(row);
    ListView->ShowAndSelect(row);
}

void TPacequillDlgClient::SelectLastRow() {
    ShowAndSelect(Model.List().RowCount() - 1);
    HasEntries = true;
}

void TPacequillDlgClient::OnRowSelected(int row) {
    if (row >= 0)
        Model.Select(row);
    else
        Model.ClearSelection();
}

void TPacequillDlgClient::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        CheckDisk();
}

void TPacequillDlgClient::dragEnterEvent(QDragEnterEvent *event) {
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TPacequillDlgClient::dropEvent(QDropEvent *event) {
    const QStringList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended, so the program the files came from is not held up by what the files start.
    QMetaObject::invokeMethod(
        this, [this, paths] { emit FilesDropped(paths); }, Qt::QueuedConnection);
}
