#include "import/ImportCommands.h"

#include <QMainWindow>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "frame/CommandIds.h"
#include "frame/Prompts.h"
#include "frame/UserSettings.h"
#include "import/ActivityInputs.h"
#include "import/ActivityReadAhead.h"
#include "import/ImportReview.h"
#include "import/ImportReviewDialog.h"
#include "import/ImportShoeCheck.h"
#include "log/LogList.h"
#include "log/LogProfileWatch.h"
#include "log/PathBytes.h"
#include "log/TPacequillDlgClient.h"

namespace ImportCommands {

namespace {

const QString ActivityFilter = QStringLiteral("Activity Files (*.gpx *.tcx *.fit *.csv);;All Files (*)");
const QString DialogTitle = QStringLiteral("Import Activities");
const QString DialogAcceptLabel = QStringLiteral("Import");
const QString ReadingText = QStringLiteral("Reading activity files...");
const QString UnitSetting = QStringLiteral("Import/Unit");
const QString CancelText = QStringLiteral("Cancel");
// A batch that reads longer than this shows its progress.
constexpr int ProgressDelayMilliseconds = 400;

// The shoes of the import under review, for the dialog to say which the ticked runs take over their limits.
const ImportShoeCheck *&ReviewedShoes() {
    static const ImportShoeCheck *shoes = nullptr;
    return shoes;
}

bool RunReviewDialog(pq::ImportReview &review, QWidget *parent, std::vector<pq::LogEntry> &rows) {
    ImportReviewDialog dialog(review, parent, ReviewedShoes());
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    rows = dialog.TickedEntries();
    return true;
}

// The time the user chose for the rows in the last review, chosen again in the next.
pq::RowTime &RememberedTime() {
    static pq::RowTime time = pq::RowTime::Moving;
    return time;
}

ReviewRunner &CurrentRunner() {
    static ReviewRunner runner = RunReviewDialog;
    return runner;
}

// The unit the user chose in the last review, kept between runs.
pq::DistanceUnit RememberedUnit() {
    const QString word = UserSettings::Open()->value(UnitSetting).toString();
    pq::DistanceUnit unit = pq::DistanceUnit::Miles;
    return pq::RecognizeUnit(word.toStdString(), unit) ? unit : pq::DistanceUnit::Miles;
}

void RememberUnit(pq::DistanceUnit unit) {
    UserSettings::Open()->setValue(UnitSetting, QString::fromUtf8(pq::UnitWord(unit).data()));
}

} // namespace

QString FileDialogFilter() {
    return ActivityFilter;
}

void SetReviewRunner(ReviewRunner runner) {
    CurrentRunner() = runner ? std::move(runner) : RunReviewDialog;
}

void AddTo(TPacequillDlgClient &client) {
    client.AddResponse(Cmd::ImportActivities, [&client] { ImportActivities(client); });
}

void ImportActivities(TPacequillDlgClient &client) {
    Prompts::FileDialogSpec settings;
    settings.Filter = ActivityFilter;
    settings.MustExist = true;
    settings.Title = DialogTitle;
    settings.AcceptLabel = DialogAcceptLabel;
    QStringList paths = Prompts::Current().OpenFileNames(&client, settings);
    for (QString &path : paths)
        path = PathBytes::Recover(path);
    if (!paths.isEmpty()) {
        ImportFiles(client, paths);
    }
}

void ImportFiles(TPacequillDlgClient &client, const QStringList &paths) {
    std::vector<std::string> files;
    files.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString &path : paths) {
        files.push_back(PathBytes::Encode(path).toStdString());
    }
    std::vector<pq::ReadError> unlisted;
    pq::ActivityReadAhead reads(pq::ExpandActivityInputs(files, unlisted),
                                std::max(1U, std::thread::hardware_concurrency()));
    pq::ImportReview review(client.List());
    // Without a profile the import knows nothing of shoes, as before there were profiles. The check knows no limit
    // set in the Records window, so it judges by the usual one.
    std::optional<ImportShoeCheck> shoes;
    if (const pq::LogProfile &profile = client.Profile().Profile(); profile.Exists)
        shoes.emplace(client.List(), profile, pq::ProfileDistance{pq::DefaultShoeLimitMiles, pq::DistanceUnit::Miles});
    if (shoes && !shoes->DefaultShoe().empty()) {
        review.SetActivityNotes([&shoes](std::string &notes) { pq::AddDefaultShoe(notes, shoes->DefaultShoe()); });
    }
    for (pq::ReadError &error : unlisted) {
        review.AddUnreadable(std::move(error));
    }
    review.SetUnit(RememberedUnit());
    QProgressDialog progress(ReadingText, CancelText, 0, static_cast<int>(reads.Size()), &client);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ProgressDelayMilliseconds);
    for (std::size_t i = 0; i < reads.Size(); ++i) {
        progress.setValue(static_cast<int>(i));
        if (progress.wasCanceled()) {
            return;
        }
        review.AddRead(reads.Path(i), reads.TakeNext());
    }
    progress.setValue(static_cast<int>(reads.Size()));
    review.SetTime(RememberedTime());
    std::vector<pq::LogEntry> rows;
    ReviewedShoes() = shoes ? &*shoes : nullptr;
    const bool accepted = CurrentRunner()(review, &client, rows);
    ReviewedShoes() = nullptr;
    RememberedTime() = review.Time();
    if (!accepted || rows.empty()) {
        return;
    }
    RememberUnit(review.Unit());
    for (const pq::LogEntry &entry : rows) {
        client.Rows().AppendRow(pq::LogList::JoinEntry(entry));
    }
    if (!rows.empty()) {
        client.SetChanged(true);
        client.SelectLastRow();
    }
    if (auto *frame = qobject_cast<QMainWindow *>(client.window()))
        frame->statusBar()->showMessage(ImportedText(rows.size(), review.Candidates().size() - rows.size()));
}

QString ImportedText(std::size_t imported, std::size_t skipped) {
    return (imported == 1 ? QStringLiteral("1 run imported") : QStringLiteral("%1 runs imported").arg(imported)) +
           QStringLiteral(", %1 skipped").arg(skipped);
}

} // namespace ImportCommands
