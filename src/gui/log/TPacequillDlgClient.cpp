#include "log/TPacequillDlgClient.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

#include "frame/CommandIds.h"
#include "frame/DialogTemplate.h"
#include "frame/ProgramName.h"
#include "frame/Prompts.h"
#include "log/LocaleCollation.h"
#include "log/LogFile.h"
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

    AddResponse(Cmd::FileNew, [this] { New(); });
    AddResponse(Cmd::FileOpen, [this] { Open(); });
    AddResponse(Cmd::FileSave, [this] { Save(); });
    AddResponse(Cmd::FileSaveAs, [this] { SaveAs(); });
}

QSize TPacequillDlgClient::sizeHint() const {
    return DialogSize;
}

void TPacequillDlgClient::SetupWindow(const QString &rawCommandLine) {
    ListView->SetupColumns();
    OpenPath = rawCommandLine;
    if (OpenPath.startsWith(u'"') && OpenPath.endsWith(u'"'))
        OpenPath = OpenPath.size() >= 2 ? OpenPath.mid(1, OpenPath.size() - 2) : QString();
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
    const pq::LoadResult result = pq::LoadLog(FileSystemPath(path), loaded);
    if (result.Status == pq::LoadStatus::Unreadable) {
        Prompts::Error(this, OpenFailedCaption, OpenFailedText.arg(ReportText(result.Error)));
        return false;
    }
    // Another kind of file would show as rows of junk, and Save would overwrite it in the log's format.
    if (!result.LooksLikeLog && !ConfirmNotALog(path))
        return false;
    Model.ReplaceRows(std::move(loaded));
    FilePath = path;
    Untitled = false;
    Changed = false;
    if (Model.List().RowCount() > 0)
        SelectLastRow();
    else
        HasEntries = false;
    SetFrameCaption(ProgramName + CaptionSeparator + CaptionName(path));
    return true;
}

bool TPacequillDlgClient::ConfirmNotALog(const QString &path) {
    return Prompts::Warning(this, NotALogCaption, NotALogText.arg(path), {Prompts::Button::Yes, Prompts::Button::No},
                            Prompts::Button::No) == Prompts::Button::Yes;
}

bool TPacequillDlgClient::WriteLog(const QString &path) {
    const pq::WriteResult result = pq::WriteLog(Model.List(), FileSystemPath(path));
    if (!result.Ok) {
        Prompts::Error(this, SaveFailedCaption, SaveFailedText.arg(ReportText(result.Error)));
        return false;
    }
    FilePath = path;
    Untitled = false;
    Changed = false;
    return true;
}

void TPacequillDlgClient::SortByColumn(int column) {
    Sort.Click(column);
    Model.SortRows(LocaleCollation(Model.List(), column, Sort.SortAscending));
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
