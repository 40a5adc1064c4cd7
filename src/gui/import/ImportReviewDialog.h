#pragma once

#include <QDialog>

#include <vector>

#include "import/ImportReview.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

// The review before an import: one line per activity found (date, sport, distance, time, file) with a check box
// (runs ticked; other sports, duplicates and rows too long for the log not, each with its reason), Select All and
// Select None, the unit of the distances, the files that could not be read with the reasons, and a button that
// says how many runs it imports. A resizable window laid out with layouts.
class ImportReviewDialog : public QDialog {
    Q_OBJECT

public:
    enum Column { DateColumn, SportColumn, DistanceColumn, TimeColumn, FileColumn, RemarkColumn, ColumnCount };

    ImportReviewDialog(pq::ImportReview &review, QWidget *parent = nullptr);

    // The rows of the ticked lines, in the order shown.
    std::vector<pq::LogEntry> TickedEntries() const;

    QTreeWidget *Activities() const { return List; }
    QComboBox *UnitChoice() const { return Unit; }
    QListWidget *UnreadableFiles() const { return Failures; }
    QLabel *Summary() const { return Counts; }
    QPushButton *AcceptButton() const { return ImportButton; }

private:
    void Fill();
    void OnUnitChanged(int index);
    // Ticks or unticks every line that can be imported.
    void TickAll(Qt::CheckState state);
    // Names the number of ticked runs on the accept button, which is off while there are none.
    void CountTicked();

    pq::ImportReview &Review;
    QTreeWidget *List = nullptr;
    QComboBox *Unit = nullptr;
    QListWidget *Failures = nullptr;
    QLabel *Counts = nullptr;
    QPushButton *ImportButton = nullptr;
};
