#pragma once

#include <QStringList>

#include <cstddef>
#include <functional>
#include <vector>

#include "log/LogEntry.h"

class QWidget;
class TPacequillDlgClient;

namespace pq {
class ImportReview;
}

// File > Import Activities... and files dropped on the main window: reads the files (with a progress dialog
// that can cancel a long batch), shows the review in the unit chosen last time, adds the ticked rows at the end of
// the log as Add Entry does, and says in the status bar how many runs it added and skipped.
namespace ImportCommands {

// Adds the command to the document client's response table.
void AddTo(TPacequillDlgClient &client);
// Asks for the files, then imports them.
void ImportActivities(TPacequillDlgClient &client);
void ImportFiles(TPacequillDlgClient &client, const QStringList &paths);

// Runs the review modally; the ticked rows, or nothing when the user cancelled. Tests replace it.
using ReviewRunner = std::function<bool(pq::ImportReview &review, QWidget *parent, std::vector<pq::LogEntry> &rows)>;
void SetReviewRunner(ReviewRunner runner); // an empty runner restores the dialog

// The Open dialog's filter for activity files.
QString FileDialogFilter();
// The status bar's word after an import: "4 runs imported, 2 skipped".
QString ImportedText(std::size_t imported, std::size_t skipped);

} // namespace ImportCommands
